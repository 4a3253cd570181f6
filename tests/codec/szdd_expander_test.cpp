// Failures of the expander stream's source or sink, reported as LZ32 reports
// them. Both forms agree on any bytes, within what the data can expand to
// whatever the header declares: szdd_fuzz; the memory form and LZ32 itself
// agree on real and malformed files: tests/engine/wine_lz32_test.
#include "codec/szdd_expander.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/codec/szdd_test_io.h"

namespace vxr::test {
namespace {

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
