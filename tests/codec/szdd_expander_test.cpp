// The expander's memory and stream forms against a plain decoder written from
// LZ32's description and what LZ32 made of malformed files, and failures of
// the stream's source or sink reported as LZ32 reports them.
#include "codec/szdd_expander.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "tests/codec/szdd_test_io.h"

namespace vxr::test {
namespace {

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The decoder as LZ32 describes it, one byte at a time through the 4096-byte
// ring: slow and plain, the yardstick for the fast one.
Bytes Reference(const Bytes& file) {
  if (!szdd::HasHeader(file)) return file;
  Bytes out, ring(4096, ' ');
  std::size_t cur = 4096 - 16, p = 14;
  auto put = [&](std::uint8_t b) {
    out.push_back(ring[cur] = b);
    cur = (cur + 1) & 0xFFF;
  };
  while (file[8] == 'A' && p < file.size()) {
    unsigned flags = file[p++];
    for (int i = 0; i < 8; ++i, flags >>= 1) {
      if (p + 2 - (flags & 1) > file.size()) return out;  // a cut item ends it
      if (flags & 1) {
        put(file[p++]);
        continue;
      }
      std::size_t pos = file[p] | ((file[p + 1] & 0xF0) << 4);
      const int len = (file[p + 1] & 0x0F) + 3;
      p += 2;
      for (int k = 0; k < len; ++k, pos = (pos + 1) & 0xFFF) put(ring[pos]);
    }
  }
  return out;
}

// Both forms give `out` and its size, the stream form whatever the pieces it
// reads and the blocks it writes; the memory form's buffer stays within what
// the data can expand to, whatever the header declares.
void ExpectBothForms(const std::string& what, const Bytes& file, const Bytes& out) {
  SCOPED_TRACE(what + ", " + std::to_string(file.size()) + " bytes");
  const auto count = static_cast<std::int32_t>(out.size());
  Bytes memory;
  EXPECT_EQ(szdd::ExpandBuffer(file, memory), count);
  EXPECT_TRUE(memory == out);
  EXPECT_LE(memory.capacity(), (file.size() / 17 + 2) * 144 + 4096);
  const std::size_t ways[][2] = {{1, 1}, {13, 100}, {4096, 5000}, {szdd::kStreamBlock, szdd::kStreamBlock}};
  for (const auto& [piece, block] : ways) {
    if (block < 4096 && file.size() > 100'000) continue;  // slow, and nothing new
    SCOPED_TRACE("read in pieces of " + std::to_string(piece) + ", blocks of " + std::to_string(block));
    PieceSource source(file, piece);
    KeepingSink sink;
    EXPECT_EQ(szdd::ExpandStream(source, sink, block), count);
    EXPECT_TRUE(sink.kept == out);
  }
}

// What Wine's LZ32 (LZOpenFileA, LZCopy) made of each of these files: the
// count and the bytes written.
TEST(SzddExpander, MalformedFilesAsLz32ReadsThem) {
  const Bytes literals = {0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
  std::vector<std::tuple<std::string, Bytes, Bytes>> rows = {
      {"empty", {}, {}},
      {"header only", SzddFile(18), {}},
      {"mode B with data", SzddFile(18, literals, 'B'), {}},
      {"mode a with data", SzddFile(18, literals, 'a'), {}},
      {"flag byte only", SzddFile(18, {0x00}), {}},
      {"one literal", SzddFile(18, B("\xFFX")), B("X")},
      {"match cut after its first byte", SzddFile(18, {0x00, 0x12}), {}},
      {"match of initial spaces", SzddFile(18, {0x00, 0xF0, 0xF2}), B("     ")},
      {"match, then literals",
       SzddFile(18, {0xFE, 'Q', 0xF0, 0xFF, 0, 0x0F}),
       {' ', ' ', ' ', 0xFF, 0, 0x0F}},
      {"declared larger", SzddFile(0xFFFFFFFF, literals), B("ABCDEFGH")},
  };
  Bytes wrongSignature = SzddFile(18, literals);
  wrongSignature[7] = 0x34;
  rows.push_back({"signature's last byte wrong", wrongSignature, wrongSignature});
  // Files of 1 to 13 bytes are too short for a header: copied as they are,
  // also when they begin like one.
  const Bytes header = SzddFile(18);
  for (std::size_t n = 1; n < 14; ++n) {
    const Bytes prefix(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(n));
    rows.push_back({"header prefix", prefix, prefix});
    Bytes plain(n);
    for (std::size_t i = 0; i < n; ++i) plain[i] = static_cast<std::uint8_t>(i * 37 + 5);
    rows.push_back({"plain", plain, plain});
  }
  Bytes large(3'000'000);
  std::mt19937 random(99);
  for (auto& b : large) b = static_cast<std::uint8_t>(random());
  rows.push_back({"large, not SZDD", large, large});
  for (const auto& [what, file, out] : rows) ExpectBothForms(what, file, out);
}

// Matches of every distance, overlapping ones, ones into the initial spaces and
// ones naming the slot about to be written (which LZ32 reads before writing),
// cut anywhere; mostly literals (`skewed`), or any bytes at all.
Bytes RandomFile(std::mt19937& random, std::size_t size, bool skewed = false) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) {
    const auto r = static_cast<std::uint8_t>(random());
    data[i] = skewed && i % 17 == 0 ? static_cast<std::uint8_t>(r | 0xA5) : r;
  }
  return SzddFile(static_cast<std::uint32_t>(random()), data);
}

TEST(SzddExpander, BothFormsMatchThePlainDecoderOnRandomStreams) {
  std::mt19937 random(20240611);
  for (int round = 0; round <= 300; ++round) {
    // The last one matches across the output blocks' boundaries, into the kept window.
    const std::size_t size = round == 300 ? 2'500'000 : round < 50 ? random() % 64 : random() % 40000;
    const Bytes file = RandomFile(random, size, round % 2 == 0);
    ExpectBothForms("round " + std::to_string(round), file, Reference(file));
  }
}

TEST(SzddExpander, FailuresOfTheSourceOrTheSinkStopTheStream) {
  std::mt19937 random(7);
  const Bytes file = RandomFile(random, 3'000'000);
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
    // What was written is the start of the expansion, as with LZ32.
    ASSERT_LE(sink.kept.size(), c.full.size());
    EXPECT_TRUE(std::equal(sink.kept.begin(), sink.kept.end(), c.full.begin()));
    EXPECT_EQ(!sink.kept.empty(), c.wroteSome);
  }
}

}  // namespace
}  // namespace vxr::test
