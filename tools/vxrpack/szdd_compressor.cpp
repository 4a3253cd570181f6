#include "tools/vxrpack/szdd_compressor.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "tools/vxrpack/match_finder.h"
#include "tools/vxrpack/optimal_parse.h"
#include "tools/vxrpack/szdd_writer.h"

namespace vxr::pack {
namespace {

using szdd::kMaxMatch;
using szdd::kMinMatch;
using szdd::kStreamBlock;

// The window's starting spaces, placed in front of the data so that matches
// into them are found like any other: data byte n is at position kPrefix + n.
constexpr std::uint32_t kPrefix = szdd::kWindowSize;

constexpr std::uint64_t kProgressStep = std::uint64_t{1} << 20;

// The last strings are shorter than a full match and would break the trees'
// order; they are few, so they are searched directly. `cur` is at `pos`, with
// `available` bytes from there on.
Match SearchDirectly(const std::uint8_t* cur, std::uint32_t pos, std::size_t available) {
  const std::size_t limit = std::min<std::size_t>(kMaxMatch, available);
  Match best;
  if (limit < kMinMatch) return {};
  for (std::size_t dist = 1; dist <= std::min<std::size_t>(kMaxDistance, pos); ++dist) {
    const std::uint8_t* from = cur - dist;
    std::size_t len = 0;
    while (len < limit && from[len] == cur[len]) ++len;
    if (len > best.length) {
      best = {static_cast<std::uint32_t>(len), static_cast<std::uint32_t>(dist)};
      if (len == limit) break;
    }
  }
  if (best.length < kMinMatch) return {};
  return best;
}

// Looks up the longest match at every position as the input arrives, in a
// buffer that keeps the window's worth of bytes before the next position.
class StreamCompressor {
 public:
  StreamCompressor(szdd::ByteSink& out, const StreamOptions& options)
      : buffer_(new std::uint8_t[kCapacity + MatchFinder::kCompareSlack]()),
        writer_(out),
        parse_(writer_, options.settleBatch, options.pendingLimit),
        options_(options) {
    std::memset(buffer_.get(), szdd::kWindowFill, kPrefix);
    end_ = kPrefix;
  }

  // Where the next input bytes go.
  std::span<std::uint8_t> Space() {
    if (end_ - base_ > kCapacity - kStreamBlock) {
      // Keep the window before the next position; what follows it is not
      // looked up yet.
      const std::uint32_t keep = next_ - static_cast<std::uint32_t>(kMaxDistance);
      std::memmove(buffer_.get(), buffer_.get() + (keep - base_), end_ - keep);
      base_ = keep;
    }
    return std::span(buffer_.get() + (end_ - base_), kCapacity - (end_ - base_));
  }

  // `count` bytes have been placed at Space(). False when the input has
  // become too large.
  bool Filled(std::size_t count) {
    if (count > kMaxInputSize - Size()) return false;
    end_ += static_cast<std::uint32_t>(count);
    // Every position with a full match's bytes after it goes into the trees.
    while (end_ - next_ >= kMaxMatch) {
      const Match match = finder_.Insert(next_, At(next_));
      if (next_ >= kPrefix) {
        Report(next_ - kPrefix);
        parse_.Add(match, *At(next_));
      }
      ++next_;
    }
    return true;
  }

  // The input has ended. False when the output could not be written.
  bool Finish() {
    for (; next_ < end_; ++next_) {
      if (next_ < kPrefix) continue;
      Report(next_ - kPrefix);
      parse_.AddLast(SearchDirectly(At(next_), next_, end_ - next_), *At(next_));
    }
    parse_.Finish();
    if (options_.stats) *options_.stats = parse_.Stats();
    if (options_.progress) options_.progress(Size(), options_.expectedSize);
    return writer_.Finish();
  }

  std::uint64_t Size() const { return end_ - kPrefix; }

 private:
  static constexpr std::size_t kCapacity = kMaxDistance + 2 * kStreamBlock;

  const std::uint8_t* At(std::uint32_t pos) const { return buffer_.get() + (pos - base_); }

  void Report(std::uint64_t done) {
    if (options_.progress && done % kProgressStep == 0)
      options_.progress(done, std::max(options_.expectedSize, done));
  }

  std::unique_ptr<std::uint8_t[]> buffer_;
  std::uint32_t base_ = 0;  // position of buffer_[0]
  std::uint32_t end_ = 0;   // position after the last byte held
  std::uint32_t next_ = 0;  // the next position to look up
  MatchFinder finder_;
  SzddWriter writer_;
  OptimalParse parse_;
  const StreamOptions& options_;
};

class SpanSource final : public szdd::ByteSource {
 public:
  explicit SpanSource(std::span<const std::uint8_t> data) : data_(data) {}
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override {
    const std::size_t n = std::min(buffer.size(), data_.size());
    if (n != 0) std::memcpy(buffer.data(), data_.data(), n);
    data_ = data_.subspan(n);
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::span<const std::uint8_t> data_;
};

class VectorSink final : public szdd::ByteSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return true;
  }

 private:
  std::vector<std::uint8_t>& out_;
};

}  // namespace

std::array<std::uint8_t, szdd::kHeaderSize> SzddHeader(char missingChar, std::uint32_t expandedSize) {
  std::array<std::uint8_t, szdd::kHeaderSize> header{};
  std::copy(szdd::kSignature.begin(), szdd::kSignature.end(), header.begin());
  header[szdd::kOffsetMode] = szdd::kModeA;
  header[szdd::kOffsetMissingChar] = static_cast<std::uint8_t>(missingChar);
  for (int i = 0; i < 4; ++i)
    header[szdd::kOffsetExpandedSize + i] = static_cast<std::uint8_t>(expandedSize >> (8 * i));
  return header;
}

CompressResult CompressStream(szdd::ByteSource& in, szdd::ByteSink& out, std::uint64_t& size,
                              const StreamOptions& options) {
  StreamCompressor compressor(out, options);
  size = 0;
  for (;;) {
    const std::span<std::uint8_t> space = compressor.Space();
    const std::ptrdiff_t n = in.Read(space.first(std::min(space.size(), szdd::kStreamBlock)));
    if (n < 0) return CompressResult::kReadFailed;
    if (n == 0) break;
    if (!compressor.Filled(static_cast<std::size_t>(n))) return CompressResult::kTooLarge;
  }
  size = compressor.Size();
  return compressor.Finish() ? CompressResult::kOk : CompressResult::kWriteFailed;
}

std::optional<std::vector<std::uint8_t>> CompressSzdd(std::span<const std::uint8_t> data, char missingChar,
                                                      const Progress& progress) {
  if (data.size() > kMaxInputSize) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(szdd::kHeaderSize + data.size() + data.size() / 8 + 16);
  const auto header = SzddHeader(missingChar, static_cast<std::uint32_t>(data.size()));
  out.assign(header.begin(), header.end());
  SpanSource source(data);
  VectorSink sink(out);
  std::uint64_t size = 0;
  StreamOptions options;
  options.expectedSize = data.size();
  options.progress = progress;
  if (CompressStream(source, sink, size, options) != CompressResult::kOk) return std::nullopt;
  return out;
}

std::string StoredName(std::string_view installedName) {
  std::string name(installedName);
  if (!name.empty()) name.back() = '_';
  return name;
}

char MissingChar(std::string_view installedName) {
  return installedName.empty() ? '\0' : installedName.back();
}

}  // namespace vxr::pack
