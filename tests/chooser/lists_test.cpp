// "Change Dir": where the chooser's lists open, where selecting a drive leaves
// them, which drives are refused with what message, and leaving without Ok.
// chooser_walk.sh walks the common way under Wine: the default missing, so the
// lists open on C:'s root; the wizard out of use until Ok takes the open folder;
// the close box (and in install_walk.sh Cancel) giving the wizard back with
// the destination unchanged; the chooser opened again starting afresh.
#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

TEST_F(ChooserTest, ADestinationThatCannotBeOpenedLeavesTheListsOnTheWindowsDrive) {
  struct Case {
    const wchar_t* destination;  // empty: the default, which does not exist yet
    const wchar_t* installDir;   // after opening, and still after Cancel
    const wchar_t* box;
  } cases[] = {
      {L"", kDefault, nullptr},  // a missing destination only sends the lists to the Windows drive
      {L"C:\\Data\\recorder.ini", L"C:\\Data\\recorder.ini", nullptr},  // a file counts as existing
      {L"A:\\Apps", L"A:\\Apps", L"Screen Recorder can not be installed into a diskette driver."},
      {L"B:\\Apps", L"B:\\Apps", L"Screen Recorder can not be installed into a diskette driver."},
  };
  machine_.MakeFolders(L"C:\\WINDOWS\\SYSTEM");
  machine_.MakeFolders(L"C:\\Data");
  machine_.WriteFile(L"C:\\Data\\recorder.ini", "x");
  headless::SetCurrentFolder(L"C:\\WINDOWS\\SYSTEM");
  for (wchar_t letter : {L'A', L'B'}) {
    machine_.AddDrive(letter);
    machine_.MakeFolders(std::wstring{letter} + L":\\Apps");
    headless::SetDriveType(letter, platform::kDriveRemovable);
    headless::SetVolumeLabel(letter, L"BACKUP");  // a diskette's label is never shown
  }
  for (const auto& c : cases) {
    ResetProgram();
    OpenChooserOn(c.destination);
    if (c.box)
      ExpectOneBox(c.box, L"Driver", 0x1030);  // selecting the destination's drive brings it
    else
      EXPECT_TRUE(TakeBoxTexts().empty()) << c.destination;
    EXPECT_EQ(Lists(), At(L"c:", L"C:\\WINDOWS\\SYSTEM")) << c.destination << ": the drive's current folder";
    EXPECT_EQ(InstallDir.Trimmed(), c.installDir);
    ASSERT_TRUE(PressInChooser("Command3"));
    EXPECT_EQ(InstallDir.Trimmed(), c.installDir);
    EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << "the wizard still shows what it showed";
  }
}

constexpr wchar_t kDestination[] = L"C:\\Apps\\Recorder";
constexpr wchar_t kCdRefused[] = L"Screen Recorder can not be installed into a CD driver.";

class DriveChangeTest : public ChooserTest {
 protected:
  void SetUp() override {
    ChooserTest::SetUp();
    machine_.MakeFolders(kDestination);
    headless::SetFreeBytes(L'C', 40ull << 20);  // 40,960 KB
  }
};

// Diskette, network and CD drives: chooser_walk.sh refuses them under Wine.
TEST_F(DriveChangeTest, EveryDriveButAReadyFixedOneIsRefusedAndTheListsGoBack) {
  struct Case {
    std::uint32_t type;
    bool ready;
    const wchar_t* message;  // nullptr: refused silently
  } cases[] = {
      {0, true, L"d:\\ couldn't be found!"},
      {1, true, nullptr},
      {3, false, L"d:\\ is not ready!"},
      {6, true, L"Screen Recorder can not be installed into a RAM driver."},
  };
  for (const auto& c : cases) {
    const std::wstring context = L"type " + std::to_wstring(c.type);
    ResetProgram();
    AddFixedDrive(L'D');
    headless::SetDriveType(L'D', c.type);
    headless::SetDriveReady(L'D', c.ready);
    OpenChooserOn(kDestination);
    ASSERT_TRUE(TakeBoxTexts().empty()) << context;
    ASSERT_TRUE(SelectDrive(L"D:")) << context;
    if (c.message)
      ExpectOneBox(c.message, L"Driver", 0x1030);
    else
      EXPECT_TRUE(TakeBoxTexts().empty()) << context;
    EXPECT_EQ(Lists(), At(L"c:", kDestination)) << context;
    EXPECT_EQ(FreeSpace(), L"40,960 KB") << context;
    EXPECT_EQ(InstallDir.Trimmed(), kDestination) << context;
    EXPECT_TRUE(headless::CanPress(Chooser(), "Command2")) << context;
    EXPECT_FALSE(CanPress("Command2")) << context << ": the wizard stays out of use";
  }
}

TEST_F(DriveChangeTest, AnotherDriveOpensItsCurrentFolderAndTheDestinationsDriveTheDestination) {
  // Unless that drive has a label: the destination's two characters never
  // match "c: [SYSTEM]", so the folder list opens the drive's current folder.
  headless::SetCurrentFolder(L"C:\\WINDOWS");
  AddFixedDrive(L'D');
  machine_.MakeFolders(L"D:\\Work\\Now");
  headless::SetCurrentFolder(L"D:\\Work\\Now", false);
  for (const std::wstring label : {L"", L"SYSTEM"}) {
    ResetProgram();
    headless::SetVolumeLabel(L'C', label);
    OpenChooserOn(kDestination);
    const std::wstring c = label.empty() ? L"c:" : L"c: [SYSTEM]";
    EXPECT_EQ(Lists(), At(c, kDestination)) << "the opening sequence sets the destination itself";
    ASSERT_TRUE(SelectDrive(L"d:"));
    EXPECT_EQ(Lists(), At(L"d:", L"D:\\Work\\Now"));
    ASSERT_TRUE(SelectDrive(L"c:"));
    EXPECT_EQ(Lists(), At(c, label.empty() ? kDestination : L"C:\\WINDOWS")) << label;
    EXPECT_TRUE(headless::ShownBoxes().empty());
    EXPECT_EQ(InstallDir.Trimmed(), kDestination);
  }
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
  EXPECT_EQ(Lists(), At(L"n:", L"N:\\Apps"));

  ASSERT_TRUE(SelectDrive(L"r:"));
  EXPECT_EQ(TakeBoxTexts(), (std::vector<std::wstring>{kCdRefused, network}));
  EXPECT_EQ(Lists(), At(L"n:", L"N:\\Apps"));
  EXPECT_EQ(InstallDir.Trimmed(), L"N:\\Apps");
}

TEST_F(DriveChangeTest, ADestinationThatHasGoneLeavesTheListsOnAReadyDrive) {
  // A fixed drive removed while the chooser is open, the destination on it:
  // the destination is not there, so a refused drive sends the lists to the
  // Windows drive, without looping.
  AddFixedDrive(L'D');
  machine_.MakeFolders(L"D:\\Target");
  headless::SetDriveType(L'R', platform::kDriveCdRom);
  headless::SetCurrentFolder(L"C:\\WINDOWS");
  OpenChooserOn(L"D:\\Target");
  EXPECT_EQ(Path(), L"D:\\Target");
  headless::SetDriveReady(L'D', false);
  ASSERT_TRUE(SelectDrive(L"r:"));
  EXPECT_EQ(TakeBoxTexts(), std::vector<std::wstring>{kCdRefused});
  EXPECT_EQ(Lists(), At(L"c:", L"C:\\WINDOWS"));
  EXPECT_EQ(InstallDir.Trimmed(), L"D:\\Target") << "the destination is the user's to change";
  EXPECT_FALSE(headless::ProgramHasEnded());
  EXPECT_TRUE(headless::CanPress(Chooser(), "Command3"));

  // A destination folder removed while the chooser is open: its drive's
  // current folder stands in for it.
  ResetProgram();
  OpenChooserOn(kDestination);
  std::filesystem::remove(machine_.Host(kDestination));
  ASSERT_TRUE(SelectDrive(L"r:"));
  EXPECT_EQ(Lists(), At(L"c:", L"C:\\WINDOWS"));
  EXPECT_EQ(TakeBoxTexts(), std::vector<std::wstring>{kCdRefused});
}

}  // namespace
}  // namespace vxr::test
