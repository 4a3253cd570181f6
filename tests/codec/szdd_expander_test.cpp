#include "codec/szdd_expander.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codec/szdd_format.h"

namespace vxr {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Header(std::uint32_t declared, std::uint8_t mode = 'A') {
  Bytes h(szdd::kSignature.begin(), szdd::kSignature.end());
  h.push_back(mode);
  h.push_back('v');
  for (int i = 0; i < 4; ++i) h.push_back(static_cast<std::uint8_t>(declared >> (8 * i)));
  return h;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The decoder as LZ32 describes it, one byte at a time through the 4096-byte
// ring: slow and plain, the yardstick for the fast one.
Bytes Reference(const Bytes& file) {
  if (!szdd::HasHeader(file)) return file;
  if (file[8] != 'A') return {};
  std::uint8_t ring[4096];
  std::fill(std::begin(ring), std::end(ring), ' ');
  std::size_t cur = 4096 - 16, p = 14;
  Bytes out;
  auto put = [&](std::uint8_t b) {
    out.push_back(b);
    ring[cur] = b;
    cur = (cur + 1) & 0xFFF;
  };
  while (p < file.size()) {
    unsigned flags = file[p++];
    for (int i = 0; i < 8; ++i, flags >>= 1) {
      if (flags & 1) {
        if (p >= file.size()) return out;
        put(file[p++]);
      } else {
        if (p + 2 > file.size()) return out;
        std::size_t pos = file[p] | ((file[p + 1] & 0xF0) << 4);
        const int len = (file[p + 1] & 0x0F) + 3;
        p += 2;
        for (int k = 0; k < len; ++k) {
          put(ring[pos]);
          pos = (pos + 1) & 0xFFF;
        }
      }
    }
  }
  return out;
}

std::int32_t Expand(const Bytes& in, Bytes& out) { return szdd::ExpandBuffer(in, out); }

// What Wine's LZ32 (LZOpenFileA, LZCopy) made of each of these files: the
// count and the bytes written. The Wine test in this folder runs them again.
TEST(SzddExpander, MalformedFilesAsLz32ReadsThem) {
  const Bytes h = Header(18);
  const Bytes literals =
      B("\xFF"
        "ABCDEFGH");
  struct Row {
    const char* what;
    Bytes file;
    std::int32_t count;
    Bytes out;
  };
  std::vector<Row> rows = {
      {"empty", {}, 0, {}},
      {"header only", h, 0, {}},
      {"mode B, header only", Header(18, 'B'), 0, {}},
      {"mode B with data", Cat(Header(18, 'B'), literals), 0, {}},
      {"mode a with data", Cat(Header(18, 'a'), literals), 0, {}},
      {"flag byte only", Cat(h, {0x00}), 0, {}},
      {"one literal", Cat(h, B("\xFFX")), 1, B("X")},
      {"match cut after its first byte", Cat(h, {0x00, 0x12}), 0, {}},
      {"match of initial spaces", Cat(h, {0x00, 0xF0, 0xF2}), 5, B("     ")},
      {"then a cut match", Cat(h, {0x00, 0xF0, 0xF2, 0x00}), 5, B("     ")},
      {"match, then literals",
       Cat(h, {0xFE, 'Q', 0xF0, 0xFF, 0x00, 0x0F}),
       6,
       {' ', ' ', ' ', 0xFF, 0x00, 0x0F}},
      {"declared larger", Cat(Header(0xFFFFFFFF), literals), 8, B("ABCDEFGH")},
      {"declared smaller", Cat(Header(3), literals), 8, B("ABCDEFGH")},
      {"declared zero", Cat(Header(0), literals), 8, B("ABCDEFGH")},
  };
  Bytes wrongSignature = Cat(h, literals);
  wrongSignature[7] = 0x34;
  rows.push_back({"signature's last byte wrong", wrongSignature, 23, wrongSignature});
  Bytes spaces;
  for (int g = 0; g < 20; ++g) {
    spaces.push_back(0x00);
    for (int i = 0; i < 8; ++i) spaces.insert(spaces.end(), {0x00, 0x0F});
  }
  rows.push_back({"longest matches only", Cat(h, spaces), 2880, Bytes(2880, ' ')});
  // Files of 1 to 13 bytes are too short for a header: copied as they are,
  // also when they begin like one.
  for (std::size_t n = 1; n < 14; ++n) {
    rows.push_back({"header prefix", Bytes(h.begin(), h.begin() + n), static_cast<std::int32_t>(n),
                    Bytes(h.begin(), h.begin() + n)});
    Bytes plain(n);
    for (std::size_t i = 0; i < n; ++i) plain[i] = static_cast<std::uint8_t>(i * 37 + 5);
    rows.push_back({"plain", plain, static_cast<std::int32_t>(n), plain});
  }
  for (const auto& row : rows) {
    Bytes out;
    EXPECT_EQ(Expand(row.file, out), row.count) << row.what << ", " << row.file.size() << " bytes";
    EXPECT_EQ(out, row.out) << row.what << ", " << row.file.size() << " bytes";
  }
}

// Random streams hold thousands of matches, among them ones naming the slot
// about to be written (the byte 4096 back), which LZ32 reads before writing.
TEST(SzddExpander, MatchesThePlainDecoderOnRandomStreams) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    Bytes file = Header(static_cast<std::uint32_t>(random()));
    const std::size_t size = round < 50 ? random() % 64 : random() % 40000;
    // Mostly literals with some matches, or any bytes at all: both must agree.
    const bool skewed = round % 2 == 0;
    for (std::size_t i = 0; i < size; ++i) {
      const auto r = static_cast<std::uint8_t>(random());
      file.push_back(skewed && i % 17 == 0 ? static_cast<std::uint8_t>(r | 0xA5) : r);
    }
    Bytes out;
    const Bytes expected = Reference(file);
    ASSERT_EQ(Expand(file, out), static_cast<std::int32_t>(expected.size())) << "round " << round;
    ASSERT_EQ(out, expected) << "round " << round;
  }
}

TEST(SzddExpander, TruncatedDataGivesAPrefixAndMemoryStaysBounded) {
  Bytes file = Header(0xFFFFFFFF);  // declares 4 GiB
  std::mt19937 random(7);
  for (int i = 0; i < 5000; ++i) file.push_back(static_cast<std::uint8_t>(random()));
  Bytes full;
  const auto count = Expand(file, full);
  ASSERT_GT(count, 0);
  EXPECT_LE(full.capacity(), (file.size() - 14) / 17 * 144 + 2 * 144 + 4096);
  for (const std::size_t cut : {15u, 100u, 2501u, 4999u}) {
    Bytes part;
    const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
    const auto n = Expand(prefix, part);
    ASSERT_GE(n, 0);
    ASSERT_LE(part.size(), full.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), full.begin())) << cut;
  }
  EXPECT_TRUE(szdd::HasHeader(file));
  EXPECT_FALSE(szdd::HasHeader(Bytes(file.begin(), file.begin() + 13)));
}

}  // namespace
}  // namespace vxr
