#include "engine/payload_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace vxr {
namespace {

// The table compiled into the stub, as the packing tool finds it: consistent rows.
TEST(PayloadTable, EmbeddedTableHoldsEightPiecesBackToBack) {
  const auto table = EmbeddedPayloadTable();
  ASSERT_TRUE(table);
  // A failed main program ends the installation, so it is taken first, before
  // anything else is written.
  EXPECT_EQ((*table)[0].installedName, L"Screen Recorder.exe");
  std::set<std::wstring> installed;
  std::int64_t end = 0;
  for (std::size_t i = 0; i < table->size(); ++i) {
    const auto& piece = (*table)[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(piece.order, static_cast<int>(i) + 1);
    EXPECT_TRUE(installed.insert(piece.installedName).second) << "installed twice";
    // The staging name is the installed one with its last letter made "_".
    EXPECT_EQ(piece.storedName.back(), L'_');
    EXPECT_EQ(piece.storedName.substr(0, piece.storedName.size() - 1),
              piece.installedName.substr(0, piece.installedName.size() - 1));
    // Counted from the end of the package: each piece ends where the one
    // processed before it starts.
    EXPECT_EQ(piece.distance, end);
    EXPECT_GT(piece.length, 0);
    EXPECT_FALSE(piece.crc) << "only the packing tool writes CRCs";
    end += piece.length;
  }
  EXPECT_LE(end, INT32_MAX) << "positions in the package are 32-bit";
  // The program group and the uninstall entry point at these.
  for (const wchar_t* name : {L"Uninstall VXR.exe", L"VXR.chm"}) EXPECT_TRUE(installed.count(name)) << name;
}

TEST(PayloadTable, DamagedTablesAreRefused) {
  const payload::Table good = ShippedPayloadTable();
  ASSERT_TRUE(ReadPayloadTable(good));
  const struct {
    const char* what;
    void (*damage)(payload::Table&);
  } cases[] = {
      {"magic", [](payload::Table& t) { t.magic ^= 1; }},
      {"version", [](payload::Table& t) { t.version = 2; }},
      {"count", [](payload::Table& t) { t.count = 7; }},
      {"zero length", [](payload::Table& t) { t.pieces[3].length = 0; }},
      {"negative distance", [](payload::Table& t) { t.pieces[5].distance = -1; }},
      {"empty name", [](payload::Table& t) { t.pieces[1].storedName[0] = '\0'; }},
      {"unterminated name", [](payload::Table& t) { std::fill_n(t.pieces[2].installedName, 40, 'x'); }},
      {"broken UTF-8", [](payload::Table& t) { t.pieces[4].storedName[0] = '\xC3'; }},
  };
  for (const auto& c : cases) {
    payload::Table damaged = good;
    c.damage(damaged);
    EXPECT_FALSE(ReadPayloadTable(damaged)) << c.what;
  }
  // A CRC and a non-ASCII name, as the packing tool may write them.
  payload::Table rewritten = good;
  rewritten.pieces[0].flags = payload::kHasCrc;
  rewritten.pieces[0].crc32 = 0xCBF43926u;
  std::copy_n("Kay\xC4\xB1t.ex_", 11, rewritten.pieces[0].storedName);
  const auto table = ReadPayloadTable(rewritten);
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[0].crc, 0xCBF43926u);
  EXPECT_EQ((*table)[0].storedName, L"Kayıt.ex_");
}

}  // namespace
}  // namespace vxr
