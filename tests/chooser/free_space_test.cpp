// Free space: 64-bit kilobytes, the locale's grouping, the Ok threshold.
#include "chooser/free_space.h"

#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

TEST(FreeSpaceFigures, KilobytesRoundHalfToEvenAndAreGroupedAsTheLocaleDoes) {
  struct Case {
    std::uint64_t bytes;
    std::int64_t kilobytes;
  } cases[] = {
      {0, 0},
      {512, 0},
      {513, 1},
      {1536, 2},
      {2560, 2},
      {500224, 488},
      {500225, 489},
      {(1ull << 31) * 1024, 1ll << 31},  // the first figure a signed 32-bit count could not hold
      {~0ull, 1ll << 54},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundedKilobytes(c.bytes), c.kilobytes) << c.bytes;

  headless::Reset();
  EXPECT_EQ(FreeSpaceText(0), L" KB") << "the pattern writes nothing for zero";
  EXPECT_EQ(FreeSpaceText(512), L"512 KB");
  EXPECT_EQ(FreeSpaceText(3221225472), L"3,221,225,472 KB");
  headless::SetNumberGrouping(L".", L"3;2;0");
  EXPECT_EQ(FreeSpaceText(123456789), L"12.34.56.789 KB");
  headless::Reset();
}

// The threshold of EnoughFreeSpace, through Ok.
TEST_F(ChooserTest, OkTakesTheFolderOnlyWithEnoughFreeSpace) {
  struct Case {
    std::uint64_t bytes;  // 0: the query fails
    const wchar_t* shown;
    bool taken;
  } cases[] = {
      {488 * 1024, L"488 KB", false},
      {489 * 1024, L"489 KB", true},
      {3ull << 40, L"3,221,225,472 KB", true},  // past what a signed 32-bit kilobyte count holds
      {0, L" KB", false},
  };
  machine_.MakeFolders(L"C:\\Apps");
  for (const auto& c : cases) {
    ResetProgram();
    headless::SetFreeBytes(L'C', c.bytes);
    if (!c.bytes) headless::InjectFailure("FreeBytes", L"C:\\", platform::kErrorAccessDenied, 10);
    OpenChooserOn(L"C:\\Apps");
    EXPECT_EQ(FreeSpace(), c.shown);
    ASSERT_TRUE(PressInChooser("Command2")) << c.shown;
    EXPECT_EQ(ChooserOpen(), !c.taken) << c.shown;
    EXPECT_EQ(Wizard().InUse(), c.taken) << c.shown;
    EXPECT_FALSE(headless::ProgramHasEnded());
    if (c.taken) {
      EXPECT_TRUE(headless::ShownBoxes().empty()) << c.shown;
      continue;
    }
    ExpectOneBox(
        L"Space in drive is less than 500.000 bytes.\rYou need more space to install Screen Recorder.",
        L"Warning");
    EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Apps") << c.shown;
  }
}

TEST_F(ChooserTest, TheFreeSpaceFollowsTheDriveNotTheFolder) {
  AddFixedDrive(L'D', 10 * 1024);
  machine_.MakeFolders(L"C:\\Apps");
  headless::SetFreeBytes(L'C', 20 * 1024);
  OpenChooserOn(L"C:\\Apps");
  EXPECT_EQ(FreeSpace(), L"20 KB");
  ASSERT_TRUE(SelectDrive(L"d:"));
  EXPECT_EQ(FreeSpace(), L"10 KB");
  // Within one drive the figure is not asked again: only a drive change shows it.
  headless::SetFreeBytes(L'D', 30 * 1024);
  machine_.MakeFolders(L"D:\\Sub");
  ASSERT_TRUE(headless::OpenFolder(Chooser(), "Dir1", L"Sub"));
  EXPECT_EQ(FreeSpace(), L"10 KB");
  // Ok asks afresh: 30 KB is too little.
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(headless::ShownBoxes().size(), 1u);
}

}  // namespace
}  // namespace vxr::test
