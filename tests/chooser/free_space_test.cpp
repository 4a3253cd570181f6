// Free space: 64-bit kilobytes, the locale's grouping, the Ok threshold.
#include "chooser/free_space.h"

#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

TEST(FreeSpaceFigures, KilobytesRoundHalfToEven) {
  struct Case {
    std::uint64_t bytes;
    std::int64_t kilobytes;
  } cases[] = {
      {0, 0},
      {511, 0},
      {512, 0},
      {513, 1},
      {1536, 2},
      {2560, 2},
      {500000, 488},
      {500224, 488},
      {500225, 489},
      {16384ull * 8 * 512, 65536},
      {(1ull << 31) * 1024, 1ll << 31},  // the first figure a signed 32-bit count could not hold
      {~0ull, 1ll << 54},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundedKilobytes(c.bytes), c.kilobytes) << c.bytes;
  EXPECT_FALSE(EnoughFreeSpace(488));
  EXPECT_TRUE(EnoughFreeSpace(489));
  EXPECT_TRUE(EnoughFreeSpace(1ll << 54));
}

TEST(FreeSpaceFigures, TextGroupsDigitsAsTheLocaleDoes) {
  headless::Reset();
  EXPECT_EQ(FreeSpaceText(0), L" KB") << "the pattern writes nothing for zero";
  EXPECT_EQ(FreeSpaceText(512), L"512 KB");
  EXPECT_EQ(FreeSpaceText(65536), L"65,536 KB");
  EXPECT_EQ(FreeSpaceText(3221225472), L"3,221,225,472 KB");
  headless::SetNumberGrouping(L".", L"3;0");
  EXPECT_EQ(FreeSpaceText(65536), L"65.536 KB");
  headless::SetNumberGrouping(L",", L"3;2;0");
  EXPECT_EQ(FreeSpaceText(123456789), L"12,34,56,789 KB");
  headless::SetNumberGrouping(L" ", L"3");
  EXPECT_EQ(FreeSpaceText(123456789), L"123456 789 KB");
  headless::Reset();
}

class FreeSpaceTest : public ChooserTest {
 protected:
  void OpenWithFree(std::uint64_t bytes) {
    machine_.MakeFolders(L"C:\\Apps");
    headless::SetFreeBytes(L'C', bytes);
    OpenChooserOn(L"C:\\Apps");
  }
  void ExpectOkRefused(const char* context) {
    ASSERT_TRUE(PressInChooser("Command2")) << context;
    ASSERT_EQ(headless::ShownBoxes().size(), 1u) << context;
    const auto& box = headless::ShownBoxes()[0];
    EXPECT_EQ(box.text,
              L"Space in drive is less than 500.000 bytes.\rYou need more space to install Screen Recorder.");
    EXPECT_EQ(box.title, L"Warning");
    EXPECT_EQ(box.style, 0x30u);
    EXPECT_TRUE(ChooserOpen()) << context;
    EXPECT_FALSE(Wizard().InUse()) << context;
    EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Apps") << context;
  }
};

TEST_F(FreeSpaceTest, OkRefuses488KilobytesAndTakes489) {
  OpenWithFree(488 * 1024);
  EXPECT_EQ(FreeSpace(), L"488 KB");
  ExpectOkRefused("488 KB");

  ResetProgram();
  headless::ClearShownBoxes();
  OpenWithFree(489 * 1024);
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_FALSE(ChooserOpen());
}

TEST_F(FreeSpaceTest, MoreThanTwoTebibytesIsShownAndTaken) {
  // 3 TiB: 3,221,225,472 KB, past what a signed 32-bit kilobyte count holds.
  OpenWithFree(3ull << 40);
  EXPECT_EQ(FreeSpace(), L"3,221,225,472 KB");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_FALSE(ChooserOpen());
  EXPECT_FALSE(headless::ProgramHasEnded());
}

TEST_F(FreeSpaceTest, AFailedQueryShowsNothingAndOkRefuses) {
  machine_.MakeFolders(L"C:\\Apps");
  headless::InjectFailure("FreeBytes", L"C:\\", platform::kErrorAccessDenied, 10);
  OpenChooserOn(L"C:\\Apps");
  EXPECT_EQ(FreeSpace(), L" KB");
  ExpectOkRefused("failed query");
}

TEST_F(FreeSpaceTest, TheFigureFollowsTheDriveNotTheFolder) {
  AddFixedDrive(L'D', 10 * 1024);
  OpenWithFree(20 * 1024);
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
