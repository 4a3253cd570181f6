// What the setup reads of its own file: the payload table and the PE headers.
#include <gtest/gtest.h>

#include "common/crc32.h"
#include "engine/payload_table.h"
#include "format/pe_image.h"
#include "tests/support/pe_builder.h"

namespace vxr {
namespace {

using test::MakePeImage;

// The table compiled into the stub, as the packing tool finds it: consistent rows.
// The check value of the CRC-32 the packing tool and the setup share, and the
// same sum whole and in pieces of every length, across its 8-byte steps.
TEST(PayloadTable, Crc32IsZlibsInOnePieceOrMany) {
  const std::string digits = "123456789";
  EXPECT_EQ(Crc32({reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()}), 0xCBF43926u);
  std::vector<std::uint8_t> bytes(1000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 5));
  const std::uint32_t whole = Crc32(bytes);
  for (std::size_t cut = 0; cut <= 17; ++cut)
    EXPECT_EQ(Crc32(std::span(bytes).subspan(cut), Crc32(std::span(bytes).first(cut))), whole) << cut;
}

TEST(PayloadTable, EmbeddedTableHoldsEightPiecesBackToBack) {
  const auto table = EmbeddedPayloadTable();
  ASSERT_TRUE(table);
  // A failed main program ends the installation, so it is taken first, before
  // anything else is written.
  EXPECT_EQ((*table)[0].installedName, L"Screen Recorder.exe");
  std::int64_t end = 0;
  for (int order = 1; const auto& piece : *table) {
    EXPECT_EQ(piece.order, order++);
    EXPECT_EQ(piece.storedName, piece.installedName.substr(0, piece.installedName.size() - 1) + L'_');
    // Counted from the end of the package: each piece ends where the one
    // processed before it starts.
    EXPECT_EQ(piece.distance, end);
    EXPECT_GT(piece.length, 0);
    end += piece.length;
  }
  EXPECT_LE(end, INT32_MAX) << "positions in the package are 32-bit";
}

TEST(PayloadTable, DamagedTablesAreRefused) {
  const payload::Table good = ShippedPayloadTable();
  ASSERT_TRUE(ReadPayloadTable(good));
  const std::pair<const char*, void (*)(payload::Table&)> cases[] = {
      {"count", [](payload::Table& t) { t.count = 7; }},
      {"zero length", [](payload::Table& t) { t.pieces[3].length = 0; }},
      {"negative distance", [](payload::Table& t) { t.pieces[5].distance = -1; }},
      {"empty name", [](payload::Table& t) { t.pieces[1].storedName[0] = '\0'; }},
      {"unterminated name", [](payload::Table& t) { std::fill_n(t.pieces[2].installedName, 40, 'x'); }},
      {"broken UTF-8", [](payload::Table& t) { t.pieces[4].storedName[0] = '\xC3'; }},
  };
  for (const auto& [what, damage] : cases) {
    payload::Table damaged = good;
    damage(damaged);
    EXPECT_FALSE(ReadPayloadTable(damaged)) << what;
  }
  // A non-ASCII name, as the packing tool may write it.
  payload::Table rewritten = good;
  std::copy_n("Kay\xC4\xB1t.ex_", 11, rewritten.pieces[0].storedName);
  const auto table = ReadPayloadTable(rewritten);
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[0].storedName, L"Kayıt.ex_");
}

TEST(PeImage, FindsSectionsAndSecurityDirectoryInBothFormats) {
  for (const bool is64 : {false, true}) {
    SCOPED_TRACE(is64 ? "PE32+" : "PE32");
    const auto image = MakePeImage(is64,
                                   {{".text", 0x1234, 0x1000, 0x1400, 0x400},
                                    {".vxrpay", 0x310, 0x3000, 0x400, 0x1800},
                                    {".rsrc", 0x10, 0x4000, 0x200, 0x1C00}},
                                   0x2000, 0x5A8);
    const auto headers = pe::ParseHeaders(image);
    ASSERT_TRUE(headers);
    EXPECT_EQ(
        std::tuple(headers->is64, headers->sectionCount, headers->securityOffset, headers->securitySize),
        std::tuple(is64, 3, 0x2000u, 0x5A8u));
    const auto payload = pe::FindSection(image, payload::kSectionName);
    ASSERT_TRUE(payload);
    EXPECT_EQ(
        std::tuple(payload->fileOffset, payload->rawSize, payload->virtualAddress, payload->virtualSize),
        std::tuple(0x1800u, 0x400u, 0x3000u, 0x310u));
    const char missing[8] = {'.', 'n', 'o', 'n', 'e'};
    EXPECT_FALSE(pe::FindSection(image, missing));
  }
}

TEST(PeImage, RefusesWhatIsNotAWholeImage) {
  const auto good = MakePeImage(false, {{".text", 1, 0x1000, 0x200, 0x400}});
  // Every prefix that cuts the headers or the section table is refused, never read past.
  const std::size_t tableEnd = 0x80 + 24 + 224 + 40;
  for (std::size_t n = 0; n < tableEnd; ++n) {
    EXPECT_FALSE(pe::ParseHeaders(std::span(good.data(), n))) << n << " bytes";
  }
  EXPECT_TRUE(pe::ParseHeaders(std::span(good.data(), tableEnd)));

  const std::pair<const char*, void (*)(std::vector<std::uint8_t>&)> damages[] = {
      {"no MZ", [](auto& b) { b[0] = 'X'; }},
      {"e_lfanew far outside", [](auto& b) { test::Put(b, 0x3C, 0xFFFFFFF0u); }},
      {"a ROM image's magic", [](auto& b) { test::Put(b, 0x80 + 24, 0x107, 2); }},
      {"more sections than bytes", [](auto& b) { test::Put(b, 0x80 + 6, 0xFFFF, 2); }},
  };
  for (const auto& [what, damage] : damages) {
    auto bad = good;
    damage(bad);
    EXPECT_FALSE(pe::ParseHeaders(bad)) << what;
  }
  auto bad = good;
  test::Put(bad, 0x80 + 24 + 92, 4);  // directories end before the security one
  const auto headers = pe::ParseHeaders(bad);
  ASSERT_TRUE(headers);
  EXPECT_EQ(headers->securitySize, 0u);
}

}  // namespace
}  // namespace vxr
