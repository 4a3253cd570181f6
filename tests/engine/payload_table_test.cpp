#include "engine/payload_table.h"

#include <gtest/gtest.h>

namespace vxr {
namespace {

TEST(PayloadTable, EmbeddedTableIsTheShippedOne) {
  const auto table = EmbeddedPayloadTable();
  ASSERT_TRUE(table);
  const std::pair<const wchar_t*, const wchar_t*> names[] = {
      {L"Screen Recorder.ex_", L"Screen Recorder.exe"},
      {L"Stop.wa_", L"Stop.wav"},
      {L"Start.wa_", L"Start.wav"},
      {L"Shot.wa_", L"Shot.wav"},
      {L"Click.wa_", L"Click.wav"},
      {L"Beep.wa_", L"Beep.wav"},
      {L"Uninstall VXR.ex_", L"Uninstall VXR.exe"},
      {L"VXR.ch_", L"VXR.chm"},
  };
  std::int64_t total = 0;
  for (std::size_t i = 0; i < table->size(); ++i) {
    const auto& piece = (*table)[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(piece.order, static_cast<int>(i) + 1);
    EXPECT_EQ(piece.storedName, names[i].first);
    EXPECT_EQ(piece.installedName, names[i].second);
    // The stored name is the installed one with its last character made "_".
    EXPECT_EQ(piece.storedName.substr(0, piece.storedName.size() - 1),
              piece.installedName.substr(0, piece.installedName.size() - 1));
    // Each distance is the sum of the lengths processed before it.
    EXPECT_EQ(piece.distance, total);
    EXPECT_FALSE(piece.crc);
    total += piece.length;
  }
  EXPECT_EQ(total, 1299899);
  EXPECT_EQ((*table)[0].length, 669674);
  EXPECT_EQ((*table)[7].length, 576903);
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
