// Selecting drives in the chooser: which are refused with what message, and
// where the lists stand afterwards.
#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

constexpr wchar_t kDestination[] = L"C:\\Apps\\Recorder";

class DriveChangeTest : public ChooserTest {
 protected:
  void SetUp() override {
    ChooserTest::SetUp();
    machine_.MakeFolders(kDestination);
    headless::SetFreeBytes(L'C', 40ull << 20);  // 40,960 KB
  }
  // The lists and the free space show the destination, which is unchanged.
  void ExpectBackOnDestination(const std::wstring& context) {
    EXPECT_EQ(Drive(), L"c:") << context;
    EXPECT_EQ(Path(), kDestination) << context;
    EXPECT_EQ(FreeSpace(), L"40,960 KB") << context;
    EXPECT_EQ(InstallDir.Trimmed(), kDestination) << context;
    EXPECT_TRUE(ChooserOpen()) << context;
  }
};

TEST_F(DriveChangeTest, EveryDriveTypeButFixedIsRefusedWithItsMessage) {
  struct Case {
    std::uint32_t type;
    const wchar_t* message;  // nullptr: refused silently
  } cases[] = {
      {0, L"d:\\ couldn't be found!"},
      {1, nullptr},
      {2, L"Screen Recorder can not be installed into a diskette driver."},
      {4, L"Screen Recorder can not be installed into a network driver."},
      {5, L"Screen Recorder can not be installed into a CD driver."},
      {6, L"Screen Recorder can not be installed into a RAM driver."},
      {7, nullptr},
      {9, nullptr},
  };
  for (const auto& c : cases) {
    const std::wstring context = L"type " + std::to_wstring(c.type);
    ResetProgram();
    AddFixedDrive(L'D');
    headless::SetDriveType(L'D', c.type);
    OpenChooserOn(kDestination);
    ASSERT_TRUE(TakeBoxTexts().empty()) << context;

    ASSERT_TRUE(SelectDrive(L"D:")) << context;
    const auto& boxes = headless::ShownBoxes();
    if (c.message) {
      ASSERT_EQ(boxes.size(), 1u) << context;
      EXPECT_EQ(boxes[0].text, c.message);
      EXPECT_EQ(boxes[0].title, L"Driver");
      EXPECT_EQ(boxes[0].style, kDriverStyle);
    } else {
      EXPECT_TRUE(boxes.empty()) << context;
    }
    TakeBoxTexts();
    ExpectBackOnDestination(context);
  }
}

TEST_F(DriveChangeTest, AnotherFixedDriveOpensItsCurrentFolder) {
  AddFixedDrive(L'D', 3ull << 20);
  machine_.MakeFolders(L"D:\\Work\\Now");
  headless::SetCurrentFolder(L"D:\\Work\\Now", false);
  OpenChooserOn(kDestination);
  ASSERT_TRUE(SelectDrive(L"d:"));
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(Drive(), L"d:");
  EXPECT_EQ(Path(), L"D:\\Work\\Now");
  EXPECT_EQ(FreeSpace(), L"3,072 KB");
  EXPECT_EQ(InstallDir.Trimmed(), kDestination);

  // Back to the destination's drive: the destination again, not C:'s current folder.
  headless::SetCurrentFolder(L"C:\\WINDOWS");
  ASSERT_TRUE(SelectDrive(L"c:"));
  EXPECT_EQ(Path(), kDestination);
  EXPECT_EQ(FreeSpace(), L"40,960 KB");
}

TEST_F(DriveChangeTest, ADestinationDriveWithABracketedNameOpensItsCurrentFolder) {
  // The destination's two characters never match "c: [SYSTEM]": the folder
  // list opens the drive's current folder instead of the destination.
  headless::SetVolumeLabel(L'C', L"SYSTEM");
  headless::SetCurrentFolder(L"C:\\WINDOWS");
  AddFixedDrive(L'D');
  OpenChooserOn(kDestination);
  EXPECT_EQ(Drive(), L"c: [SYSTEM]");
  EXPECT_EQ(Path(), kDestination) << "the opening sequence sets the destination itself";
  ASSERT_TRUE(SelectDrive(L"d:"));
  ASSERT_TRUE(SelectDrive(L"c:"));
  EXPECT_EQ(Drive(), L"c: [SYSTEM]");
  EXPECT_EQ(Path(), L"C:\\WINDOWS");
  EXPECT_EQ(InstallDir.Trimmed(), kDestination);
}

TEST_F(DriveChangeTest, ARefusedDestinationDriveIsRefusedAgainInsideTheReset) {
  // The destination lies on a network drive (an earlier installation's). Each
  // reset to it runs the drive handling once more, from inside itself.
  machine_.AddDrive(L'N');
  machine_.MakeFolders(L"N:\\Apps");
  headless::SetDriveType(L'N', platform::kDriveRemote);
  headless::SetDriveType(L'R', platform::kDriveCdRom);
  OpenChooserOn(L"N:\\Apps");
  const std::wstring network = L"Screen Recorder can not be installed into a network driver.";
  EXPECT_EQ(TakeBoxTexts(), std::vector<std::wstring>{network}) << "opening selects the network drive";
  EXPECT_EQ(Drive(), L"n:");
  EXPECT_EQ(Path(), L"N:\\Apps");

  ASSERT_TRUE(SelectDrive(L"r:"));
  const std::vector<std::wstring> expected{L"Screen Recorder can not be installed into a CD driver.",
                                           network};
  EXPECT_EQ(TakeBoxTexts(), expected);
  EXPECT_EQ(Drive(), L"n:");
  EXPECT_EQ(Path(), L"N:\\Apps");
  EXPECT_EQ(InstallDir.Trimmed(), L"N:\\Apps");
}

TEST_F(DriveChangeTest, AFixedDriveThatIsNotReadyIsReportedAndTheListsGoBack) {
  AddFixedDrive(L'E');
  headless::SetDriveReady(L'E', false);
  OpenChooserOn(kDestination);
  ASSERT_TRUE(SelectDrive(L"e:"));
  ASSERT_EQ(headless::ShownBoxes().size(), 1u);
  EXPECT_EQ(headless::ShownBoxes()[0].text, L"e:\\ is not ready!");
  EXPECT_EQ(headless::ShownBoxes()[0].title, L"Driver");
  TakeBoxTexts();
  ExpectBackOnDestination(L"not ready");
  EXPECT_FALSE(CanPress("Command2")) << "the wizard stays out of use";
  EXPECT_TRUE(headless::CanPress(Chooser(), "Command2"));
}

TEST_F(DriveChangeTest, ADestinationDriveThatStopsBeingReadyLeavesTheListsOnTheWindowsDrive) {
  // A fixed drive removed while the chooser is open, the destination on it:
  // neither it nor a refused drive may loop; the lists end on the Windows drive.
  AddFixedDrive(L'D');
  machine_.MakeFolders(L"D:\\Target");
  headless::SetDriveType(L'R', platform::kDriveCdRom);
  headless::SetCurrentFolder(L"C:\\WINDOWS");
  OpenChooserOn(L"D:\\Target");
  EXPECT_EQ(Path(), L"D:\\Target");
  headless::SetDriveReady(L'D', false);
  ASSERT_TRUE(SelectDrive(L"r:"));
  const std::vector<std::wstring> expected{L"Screen Recorder can not be installed into a CD driver.",
                                           L"d:\\ is not ready!"};
  EXPECT_EQ(TakeBoxTexts(), expected);
  EXPECT_EQ(Drive(), L"c:");
  EXPECT_EQ(Path(), L"C:\\WINDOWS");
  EXPECT_EQ(InstallDir.Trimmed(), L"D:\\Target") << "the destination is the user's to change";
  EXPECT_FALSE(headless::ProgramHasEnded());
  EXPECT_TRUE(headless::CanPress(Chooser(), "Command3"));
}

TEST_F(DriveChangeTest, ADestinationFolderThatHasGoneLeavesTheListOnItsDrive) {
  headless::SetCurrentFolder(L"C:\\WINDOWS");
  headless::SetDriveType(L'R', platform::kDriveCdRom);
  OpenChooserOn(kDestination);
  std::filesystem::remove(machine_.Host(kDestination));
  ASSERT_TRUE(SelectDrive(L"r:"));
  EXPECT_EQ(Drive(), L"c:");
  EXPECT_EQ(Path(), L"C:\\WINDOWS") << "the drive's current folder stands in for the destination";
  EXPECT_EQ(TakeBoxTexts().size(), 1u) << "only the CD message";
}

}  // namespace
}  // namespace vxr::test
