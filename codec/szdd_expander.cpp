#include "codec/szdd_expander.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "codec/szdd_format.h"

namespace vxr::szdd {
namespace {

// One flag byte governs 8 items; each item is a literal (1 byte in, 1 out) or
// a match (2 bytes in, up to 18 out). These bound a group's bytes both ways.
constexpr std::size_t kGroupInMax = 1 + 8 * 2;
constexpr std::size_t kGroupOutMax = 8 * kMaxMatch;
// A match copied eight bytes at a time may write this far past its end.
constexpr std::size_t kCopySlack = 8;

constexpr std::size_t kMaxCount = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// The decoding loop. It writes into a linear buffer whose bytes before pos_
// are the latest output: the byte written n-th sits in window slot
// (kWindowStart + n) mod 4096, so a match's slot is a fixed distance back in
// the buffer. Slots not yet written still hold the initial spaces. When fewer
// than a group's bytes of room are left, Drain() makes room: the memory form
// grows its buffer, the stream form writes the block out and keeps only the
// window's worth of history in front.
class Decoder {
 public:
  enum class Status { kOk, kDrainFailed };

  // Decodes the whole groups of `in`; with `last`, also the final, incomplete
  // one, where LZ32 stops at the first item whose bytes are missing. Without
  // `last` a partial group is left for the next call. Sets `used` to the
  // input bytes consumed.
  Status Run(const std::uint8_t* in, std::size_t size, bool last, std::size_t& used) {
    // The state lives in locals while decoding: the compiler must assume that
    // a store through `out` may change any member.
    std::uint8_t* out = out_;
    std::size_t pos = pos_;
    std::size_t p = 0;
    used = 0;
    for (;;) {
      if (pos > limit_) {
        pos_ = pos;
        if (!Drain()) return Status::kDrainFailed;
        out = out_;
        pos = pos_;
      }
      const std::size_t bias = Bias();
      if (size - p >= kGroupInMax) {
        // The whole group is there: no input checks inside.
        unsigned flags = in[p++];
        if (flags == 0xFF) {
          // Eight literals, common in data that hardly compresses.
          std::memcpy(out + pos, in + p, 8);
          pos += 8;
          p += 8;
          continue;
        }
        for (int item = 0; item < 8; ++item, flags >>= 1) {
          if (flags & 1) {
            out[pos++] = in[p++];
          } else {
            pos = Match(out, pos, bias, in[p], in[p + 1]);
            p += 2;
          }
        }
        continue;
      }
      if (!last || p == size) break;
      unsigned flags = in[p++];
      for (int item = 0; item < 8 && p < size; ++item, flags >>= 1) {
        if (flags & 1) {
          out[pos++] = in[p++];
        } else {
          if (size - p < 2) {
            p = size;
            break;
          }
          pos = Match(out, pos, bias, in[p], in[p + 1]);
          p += 2;
        }
      }
    }
    pos_ = pos;
    used = p;
    return Status::kOk;
  }

  // Bytes produced so far, in total.
  std::uint64_t Produced() const { return dropped_ + pos_; }

 protected:
  ~Decoder() = default;

  // Makes at least kGroupOutMax bytes of room after pos_, or returns false.
  virtual bool Drain() = 0;

  // Sets the buffer; decoding stops for Drain() where less than a group's
  // output (and the copies' slack) is left.
  void SetBuffer(std::uint8_t* buffer, std::size_t capacity) {
    out_ = buffer;
    limit_ = capacity - kGroupOutMax - kCopySlack;
  }

  // Drops the first `count` bytes of the buffer: the caller has moved the rest
  // to its front.
  void Dropped(std::size_t count) {
    dropped_ += count;
    pos_ -= count;
  }

  std::uint8_t* out_ = nullptr;
  std::size_t pos_ = 0;
  std::size_t limit_ = 0;
  std::uint64_t dropped_ = 0;

 private:
  // The window slot of out_[0], modulo 4096.
  std::size_t Bias() const { return static_cast<std::size_t>(kWindowStart + dropped_) & (kWindowSize - 1); }

  // Copies the match of bytes b1 b2 to out[pos], where the window slot of
  // out[0] is `bias`; returns the position after it.
  static std::size_t Match(std::uint8_t* out, std::size_t pos, std::size_t bias, std::uint8_t b1,
                           std::uint8_t b2) {
    const std::size_t slot = b1 | ((b2 & 0xF0u) << 4);
    const std::size_t length = (b2 & 0x0Fu) + kMinMatch;
    const std::size_t current = (bias + pos) & (kWindowSize - 1);
    // A match naming the slot about to be written reads what it still holds:
    // the byte 4096 back.
    const std::size_t distance = ((current - slot - 1) & (kWindowSize - 1)) + 1;
    std::uint8_t* dst = out + pos;
    if (distance <= pos) {
      const std::uint8_t* src = dst - distance;
      if (distance >= kMaxMatch) {
        // No overlap within a match's reach: copy the longest match and let
        // the next items overwrite the excess (there is room for a group).
        std::memcpy(dst, src, kMaxMatch);
      } else if (distance == 1) {
        // A run of one byte.
        std::memset(dst, *src, kMaxMatch);
      } else if (distance >= 8) {
        // Eight bytes at a time, each read after the bytes it overlaps were
        // written.
        for (std::size_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
      } else {
        for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
      }
    } else {
      // Reaches back past the first byte written, into the initial spaces.
      // Only the start of the output can: later, a window's worth of history
      // is always kept in front.
      const std::size_t spaces = std::min(length, distance - pos);
      std::memset(dst, kWindowFill, spaces);
      for (std::size_t i = spaces; i < length; ++i) dst[i] = out[i - spaces];
    }
    return pos + length;
  }
};

// The memory form: the buffer is the output vector itself, grown as needed,
// but never beyond what the input can expand to, whatever the header says.
class MemoryDecoder final : public Decoder {
 public:
  MemoryDecoder(std::vector<std::uint8_t>& out, std::size_t inputSize) : vector_(out) {
    bound_ = inputSize / kGroupInMax * kGroupOutMax + kGroupOutMax;
  }

  // The declared size is only a first guess at the allocation.
  bool Start(std::size_t sizeHint) { return Grow(std::min(sizeHint, bound_)); }

  std::size_t Written() const { return pos_; }

 private:
  bool Drain() override { return Grow(vector_.size() * 2); }

  bool Grow(std::size_t wanted) {
    const std::size_t size =
        std::min(std::max(wanted, std::size_t{kWindowSize}), bound_) + kGroupOutMax + kCopySlack;
    if (size <= vector_.size()) return true;
#if defined(__cpp_exceptions)
    try {
      vector_.reserve(size);  // exactly: resize alone may double past the bound
      vector_.resize(size);
    } catch (const std::bad_alloc&) {
      return false;
    }
#else
    vector_.reserve(size);
    vector_.resize(size);
#endif
    SetBuffer(vector_.data(), vector_.size());
    return true;
  }

  std::vector<std::uint8_t>& vector_;
  std::size_t bound_ = 0;
};

// The stream form: a window of history followed by one block; each full block
// goes to the sink, then the last window's worth of bytes moves to the front.
class StreamDecoder final : public Decoder {
 public:
  explicit StreamDecoder(ByteSink& sink) : sink_(sink) {}

  bool Start(std::size_t block) {
    const std::size_t capacity = kWindowSize + block + kGroupOutMax + kCopySlack;
    buffer_.reset(new (std::nothrow) std::uint8_t[capacity]);
    if (!buffer_) return false;
    SetBuffer(buffer_.get(), capacity);
    return true;
  }

  // Writes what the sink has not had yet.
  bool Flush() {
    if (pos_ > flushed_ && !sink_.Write(std::span(out_ + flushed_, pos_ - flushed_))) return false;
    flushed_ = pos_;
    return true;
  }

 private:
  bool Drain() override {
    if (!Flush()) return false;
    const std::size_t keep = std::min<std::size_t>(pos_, kWindowSize);
    std::memmove(out_, out_ + pos_ - keep, keep);
    Dropped(pos_ - keep);
    flushed_ = pos_;
    return true;
  }

  ByteSink& sink_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t flushed_ = 0;
};

std::uint32_t DeclaredSize(const std::uint8_t* header) {
  return static_cast<std::uint32_t>(header[kOffsetExpandedSize]) |
         (static_cast<std::uint32_t>(header[kOffsetExpandedSize + 1]) << 8) |
         (static_cast<std::uint32_t>(header[kOffsetExpandedSize + 2]) << 16) |
         (static_cast<std::uint32_t>(header[kOffsetExpandedSize + 3]) << 24);
}

// Reads until `buffer` is full or the source ends: the bytes read, or -1.
std::ptrdiff_t ReadFully(ByteSource& in, std::span<std::uint8_t> buffer) {
  std::size_t have = 0;
  while (have < buffer.size()) {
    const std::ptrdiff_t n = in.Read(buffer.subspan(have));
    if (n < 0 || static_cast<std::size_t>(n) > buffer.size() - have) return -1;
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  return static_cast<std::ptrdiff_t>(have);
}

}  // namespace

bool HasHeader(std::span<const std::uint8_t> file) {
  return file.size() >= kHeaderSize && std::memcmp(file.data(), kSignature.data(), kSignature.size()) == 0;
}

std::int32_t ExpandBuffer(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& out) {
  out.clear();
  if (!HasHeader(file)) {
    // LZ32 reads a file without a complete header as it is.
    if (file.size() > kMaxCount) return kLzErrorRead;
    out.assign(file.begin(), file.end());
    return static_cast<std::int32_t>(file.size());
  }
  // Another mode opens, but LZ32's copy then writes nothing and reports 0.
  if (file[kOffsetMode] != kModeA) return 0;

  const auto data = file.subspan(kHeaderSize);
  MemoryDecoder decoder(out, data.size());
  std::size_t used = 0;
  const bool ok = decoder.Start(DeclaredSize(file.data())) &&
                  decoder.Run(data.data(), data.size(), true, used) == Decoder::Status::kOk;
  const std::size_t written = decoder.Written();
  out.resize(written);
  if (!ok) return kLzErrorGlobalAlloc;
  if (written > kMaxCount) return kLzErrorWrite;
  return static_cast<std::int32_t>(written);
}

std::int64_t ExpandStream(ByteSource& in, ByteSink& out, std::size_t block) {
  block = std::max<std::size_t>(block, 1);
  // Room for a block read and the partial group carried over from the last,
  // and at least for the header.
  const std::size_t inputCapacity = std::max(block + kGroupInMax, kHeaderSize);
  const std::unique_ptr<std::uint8_t[]> input(new (std::nothrow) std::uint8_t[inputCapacity]);
  if (!input) return kLzErrorGlobalAlloc;

  const std::ptrdiff_t start = ReadFully(in, std::span(input.get(), kHeaderSize));
  if (start < 0) return kLzErrorRead;
  const auto head = std::span(input.get(), static_cast<std::size_t>(start));
  if (!HasHeader(head)) {
    // Copied as it is, as LZ32 reads a file without a complete header.
    std::int64_t copied = 0;
    for (std::span<const std::uint8_t> piece = head; !piece.empty();) {
      if (!out.Write(piece)) return kLzErrorWrite;
      copied += static_cast<std::int64_t>(piece.size());
      const std::ptrdiff_t n = in.Read(std::span(input.get(), block));
      if (n < 0 || static_cast<std::size_t>(n) > block) return kLzErrorRead;
      piece = std::span(input.get(), static_cast<std::size_t>(n));
    }
    return copied;
  }
  if (input[kOffsetMode] != kModeA) return 0;

  StreamDecoder decoder(out);
  if (!decoder.Start(block)) return kLzErrorGlobalAlloc;
  std::size_t carried = 0;
  for (;;) {
    const std::ptrdiff_t n = in.Read(std::span(input.get() + carried, block));
    if (n < 0 || static_cast<std::size_t>(n) > block) {
      // What was decoded before the failure still lands, as with LZ32.
      return decoder.Flush() ? kLzErrorRead : kLzErrorWrite;
    }
    const std::size_t size = carried + static_cast<std::size_t>(n);
    const bool last = n == 0;
    std::size_t used = 0;
    if (decoder.Run(input.get(), size, last, used) != Decoder::Status::kOk) return kLzErrorWrite;
    if (last) break;
    carried = size - used;
    std::memmove(input.get(), input.get() + used, carried);
  }
  if (!decoder.Flush()) return kLzErrorWrite;
  return static_cast<std::int64_t>(decoder.Produced());
}

}  // namespace vxr::szdd
