// The stream form of the expander against the memory form, whose results are
// LZ32's: the same count and bytes whatever the blocks the source delivers,
// and failures of the source or the sink reported as LZ32 reports them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "codec/szdd_expander.h"
#include "codec/szdd_format.h"

namespace vxr {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Hands out the file in pieces of `piece` bytes at most; fails once `failAt`
// bytes have been read.
class PieceSource final : public szdd::ByteSource {
 public:
  PieceSource(const Bytes& file, std::size_t piece, std::size_t failAt = SIZE_MAX)
      : file_(file), piece_(piece), failAt_(failAt) {}
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override {
    if (at_ >= failAt_) return -1;
    const std::size_t n = std::min({buffer.size(), piece_, file_.size() - at_, failAt_ - at_});
    if (n != 0) std::memcpy(buffer.data(), file_.data() + at_, n);
    at_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  const Bytes& file_;
  std::size_t piece_, failAt_, at_ = 0;
};

// Keeps what it is given; refuses everything once it holds `failAt` bytes.
class KeepingSink final : public szdd::ByteSink {
 public:
  explicit KeepingSink(std::size_t failAt = SIZE_MAX, std::size_t block = szdd::kStreamBlock)
      : failAt_(failAt), block_(block) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.size() > 2 * std::max(block_, szdd::kWindowSize)) oversized = true;
    if (kept.size() + bytes.size() > failAt_) return false;
    kept.insert(kept.end(), bytes.begin(), bytes.end());
    return true;
  }
  Bytes kept;
  bool oversized = false;

 private:
  std::size_t failAt_, block_;
};

Bytes Header(std::uint32_t declared, std::uint8_t mode = 'A') {
  Bytes h(szdd::kSignature.begin(), szdd::kSignature.end());
  h.push_back(mode);
  h.push_back('v');
  for (int i = 0; i < 4; ++i) h.push_back(static_cast<std::uint8_t>(declared >> (8 * i)));
  return h;
}

// Compressed-looking data: random flag bytes and items, so that matches of
// every distance, overlapping ones and ones into the initial spaces occur,
// `groups` groups long.
Bytes RandomFile(std::mt19937& random, std::size_t groups) {
  Bytes file = Header(static_cast<std::uint32_t>(random()));
  for (std::size_t g = 0; g < groups; ++g) {
    const auto flags = static_cast<std::uint8_t>(random());
    file.push_back(flags);
    for (int i = 0; i < 8; ++i) {
      file.push_back(static_cast<std::uint8_t>(random()));
      if (!(flags >> i & 1)) file.push_back(static_cast<std::uint8_t>(random()));
    }
  }
  return file;
}

// Matches reaching far back, up to the whole window, at every block's start.
Bytes FarMatches(std::mt19937& random, std::size_t outputSize) {
  Bytes file = Header(static_cast<std::uint32_t>(outputSize));
  std::size_t n = 0;  // output so far
  while (n < outputSize) {
    const auto flags = static_cast<std::uint8_t>(random() & 0x55);  // literals and matches alternate at most
    file.push_back(flags);
    for (int i = 0; i < 8; ++i) {
      if (flags >> i & 1) {
        file.push_back(static_cast<std::uint8_t>(random()));
        ++n;
      } else {
        const std::size_t distance = szdd::kWindowSize - random() % 200;
        const std::size_t length = szdd::kMinMatch + random() % 16;
        const std::size_t slot = (szdd::kWindowStart + n - distance) & (szdd::kWindowSize - 1);
        file.push_back(static_cast<std::uint8_t>(slot));
        file.push_back(static_cast<std::uint8_t>(((slot >> 4) & 0xF0) | (length - szdd::kMinMatch)));
        n += length;
      }
    }
  }
  return file;
}

TEST(SzddStream, GivesWhatTheMemoryFormGivesInAnyPieces) {
  std::mt19937 random(99);
  std::vector<std::pair<std::string, Bytes>> files = {
      {"empty", {}},
      {"short, not SZDD", {'M', 'Z', 0x90}},
      {"header only", Header(5)},
      {"mode B",
       [] {
         Bytes f = Header(8, 'B');
         f.insert(f.end(), {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});
         return f;
       }()},
      {"match cut after its first byte",
       [] {
         Bytes f = Header(3);
         f.insert(f.end(), {0x00, 0xF0});
         return f;
       }()},
  };
  Bytes plain(3'000'000);
  for (auto& b : plain) b = static_cast<std::uint8_t>(random());
  files.push_back({"large, not SZDD", plain});
  for (const std::size_t groups : {1u, 2u, 3u, 40u, 1000u})
    files.push_back({"random", RandomFile(random, groups)});
  const Bytes whole = files.back().second;
  for (std::size_t cut = 1; cut < 40; cut += 3)
    files.push_back(
        {"random, less its last " + std::to_string(cut), Bytes(whole.begin(), whole.end() - cut)});
  // Several output blocks, so that matches reach back across the blocks'
  // boundaries into the kept window.
  files.push_back({"random, several blocks", RandomFile(random, 200'000)});
  files.push_back({"far matches, several blocks", FarMatches(random, 3 * szdd::kStreamBlock)});

  for (const auto& [what, file] : files) {
    Bytes expected;
    const std::int32_t count = szdd::ExpandBuffer(file, expected);
    ASSERT_GE(count, 0) << what;
    struct Way {
      std::size_t piece, block;
    };
    for (const Way way :
         {Way{1, 1}, Way{13, 100}, Way{4096, 5000}, Way{szdd::kStreamBlock, szdd::kStreamBlock}}) {
      if (way.block < 4096 && file.size() > 100'000) continue;  // slow, and nothing new
      SCOPED_TRACE(what + ", read in pieces of " + std::to_string(way.piece) + ", blocks of " +
                   std::to_string(way.block));
      PieceSource source(file, way.piece);
      KeepingSink sink(SIZE_MAX, way.block);
      EXPECT_EQ(szdd::ExpandStream(source, sink, way.block), count);
      EXPECT_TRUE(sink.kept == expected);
      EXPECT_FALSE(sink.oversized);
    }
  }
}

TEST(SzddStream, FailuresOfTheSourceOrTheSinkStopIt) {
  std::mt19937 random(7);
  const Bytes file = RandomFile(random, 300'000);
  Bytes full;
  ASSERT_GT(szdd::ExpandBuffer(file, full), static_cast<std::int32_t>(2 * szdd::kStreamBlock));
  const Bytes plain(2 * szdd::kStreamBlock + 5, 'p');

  struct Case {
    const char* what;
    const Bytes& file;
    const Bytes& full;
    std::size_t readFailsAt, writeFailsAt;
    std::int64_t result;
    bool wroteSome;
  };
  const Case cases[] = {
      {"reading the header", file, full, 5, SIZE_MAX, szdd::kLzErrorRead, false},
      {"reading the data", file, full, file.size() / 2, SIZE_MAX, szdd::kLzErrorRead, true},
      {"writing the first block", file, full, SIZE_MAX, 10, szdd::kLzErrorWrite, false},
      {"writing the last block", file, full, SIZE_MAX, full.size() - 3, szdd::kLzErrorWrite, true},
      {"reading a plain file", plain, plain, szdd::kStreamBlock + 1, SIZE_MAX, szdd::kLzErrorRead, true},
      {"writing a plain file", plain, plain, SIZE_MAX, szdd::kStreamBlock + 1, szdd::kLzErrorWrite, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PieceSource source(c.file, 65536, c.readFailsAt);
    KeepingSink sink(c.writeFailsAt);
    EXPECT_EQ(szdd::ExpandStream(source, sink), c.result);
    // What was written is the start of the expansion, as with LZ32, which
    // writes as it expands.
    ASSERT_LE(sink.kept.size(), c.full.size());
    EXPECT_TRUE(std::equal(sink.kept.begin(), sink.kept.end(), c.full.begin()));
    EXPECT_EQ(!sink.kept.empty(), c.wroteSome);
  }
}

}  // namespace
}  // namespace vxr
