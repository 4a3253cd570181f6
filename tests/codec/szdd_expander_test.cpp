// The expander's memory and stream forms on what LZ32 made of malformed files,
// and failures of the stream's source or sink reported as LZ32 reports them.
// Both forms agree on any bytes: szdd_fuzz; the memory form and LZ32 itself
// agree on real and malformed files: tests/engine/wine_lz32_test.
#include "codec/szdd_expander.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "tests/codec/szdd_test_io.h"

namespace vxr::test {
namespace {

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

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
// count and the bytes written. (Empty, cut and damaged headers and streams
// against LZ32 itself: tests/engine/wine_lz32_test; both forms alike on them:
// szdd_fuzz.)
TEST(SzddExpander, MalformedFilesAsLz32ReadsThem) {
  std::vector<std::tuple<std::string, Bytes, Bytes>> rows = {
      {"one literal", SzddFile(18, B("\xFFX")), B("X")},
      {"match of initial spaces", SzddFile(18, {0x00, 0xF0, 0xF2}), B("     ")},
      {"match, then literals",
       SzddFile(18, {0xFE, 'Q', 0xF0, 0xFF, 0, 0x0F}),
       {' ', ' ', ' ', 0xFF, 0, 0x0F}},
      {"declared larger", SzddFile(0xFFFFFFFF, B("\377ABCDEFGH")), B("ABCDEFGH")},
  };
  Bytes large(3'000'000);
  std::mt19937 random(99);
  for (auto& b : large) b = static_cast<std::uint8_t>(random());
  rows.push_back({"large, not SZDD", large, large});
  for (const auto& [what, file, out] : rows) ExpectBothForms(what, file, out);
}

TEST(SzddExpander, FailuresOfTheSourceOrTheSinkStopTheStream) {
  // Any bytes behind a header: matches of every distance, cut anywhere.
  std::mt19937 random(7);
  Bytes data(3'000'000);
  for (auto& b : data) b = static_cast<std::uint8_t>(random());
  const Bytes file = SzddFile(static_cast<std::uint32_t>(random()), data);
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
