// "Change Dir" and the chooser's opening sequence.
#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

TEST_F(ChooserTest, ChangeDirPutsTheWizardOutOfUseAndShowsTheChooser) {
  machine_.MakeFolders(kDefault);
  headless::SetFreeBytes(L'C', 16384ull * 8 * 512);
  OpenChooser();
  EXPECT_FALSE(Wizard().InUse());
  for (const char* control : {"Command1", "Command2", "Command3", "Command4"})
    EXPECT_FALSE(CanPress(control)) << control;
  EXPECT_FALSE(headless::PressCloseBox(Wizard()));

  auto& chooser = Chooser();
  EXPECT_EQ(chooser.Text(platform::kWindow), L"Screen Recorder");
  EXPECT_EQ(chooser.Icon(), Wizard().Icon()) << "it takes the wizard's icon";
  EXPECT_EQ(chooser.Text(Form3::Label1), L"Select a destination for Screen Recorder");
  EXPECT_EQ(chooser.Text(Form3::Label2), L"Free Space in Drive");
  EXPECT_EQ(chooser.Text(Form3::Command1), L"&New Folder");
  EXPECT_EQ(chooser.Text(Form3::Command2), L"&Ok");
  EXPECT_EQ(chooser.Text(Form3::Command3), L"Cancel");
  EXPECT_EQ(Drive(), L"c:");
  EXPECT_EQ(Path(), kDefault);
  EXPECT_EQ(FreeSpace(), L"65,536 KB") << "16,384 clusters of 8 x 512 bytes";
  EXPECT_EQ(InstallDir.Trimmed(), kDefault);
  EXPECT_TRUE(headless::ShownBoxes().empty());
  for (const char* control : {"Dir1", "Drive1", "Command1", "Command2", "Command3"})
    EXPECT_TRUE(headless::CanPress(chooser, control)) << control;
}

TEST_F(ChooserTest, AMissingDestinationBecomesTheWindowsDriveAndStaysSoAfterCancel) {
  machine_.MakeFolders(L"C:\\WINDOWS\\SYSTEM");
  headless::SetCurrentFolder(L"C:\\WINDOWS\\SYSTEM");
  OpenChooser();  // the default destination does not exist yet
  EXPECT_EQ(InstallDir.Trimmed(), L"C:");
  EXPECT_EQ(Drive(), L"c:");
  EXPECT_EQ(Path(), L"C:\\WINDOWS\\SYSTEM") << "the drive's current folder";
  ASSERT_TRUE(PressInChooser("Command3"));
  EXPECT_FALSE(ChooserOpen());
  EXPECT_EQ(InstallDir.Trimmed(), L"C:");
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << "the wizard still shows what it showed";
}

TEST_F(ChooserTest, ADisketteDestinationStartsTheListsOnTheWindowsDrive) {
  for (wchar_t letter : {L'A', L'B'}) {
    ResetProgram();
    headless::ClearShownBoxes();
    machine_.AddDrive(letter);
    headless::SetDriveType(letter, platform::kDriveRemovable);
    headless::SetVolumeLabel(letter, L"BACKUP");  // a diskette's label is never shown
    const std::wstring destination = std::wstring{letter} + L":\\Apps";
    machine_.MakeFolders(destination);
    headless::SetCurrentFolder(L"C:\\WINDOWS");
    OpenChooserOn(destination);
    // Selecting the destination's drive already brings the diskette message.
    ASSERT_EQ(headless::ShownBoxes().size(), 1u);
    EXPECT_EQ(headless::ShownBoxes()[0].text,
              L"Screen Recorder can not be installed into a diskette driver.");
    EXPECT_EQ(Drive(), L"c:") << static_cast<char>(letter);
    EXPECT_EQ(Path(), L"C:\\WINDOWS") << static_cast<char>(letter);
    EXPECT_EQ(InstallDir.Trimmed(), destination) << "the destination is left as it is";
  }
}

TEST_F(ChooserTest, ADestinationThatIsAFileOpensItsDrivesCurrentFolder) {
  machine_.MakeFolders(L"C:\\Data");
  machine_.WriteFile(L"C:\\Data\\recorder.ini", "x");
  headless::SetCurrentFolder(L"C:\\Data");
  OpenChooserOn(L"C:\\Data\\recorder.ini");
  EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Data\\recorder.ini") << "a file counts as existing";
  EXPECT_EQ(Path(), L"C:\\Data");
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(ChooserTest, ReopeningStartsAfresh) {
  AddFixedDrive(L'D');
  machine_.MakeFolders(L"D:\\Elsewhere");
  headless::SetCurrentFolder(L"D:\\Elsewhere", false);
  machine_.MakeFolders(kDefault);
  OpenChooser();
  ASSERT_TRUE(SelectDrive(L"d:"));
  Chooser().SetText(Form3::Label1, L"changed");
  ASSERT_TRUE(PressInChooser("Command3"));
  ASSERT_TRUE(Press("Command4"));
  EXPECT_EQ(Chooser().Text(Form3::Label1), L"Select a destination for Screen Recorder");
  EXPECT_EQ(Drive(), L"c:");
  EXPECT_EQ(Path(), kDefault);
  EXPECT_FALSE(Wizard().InUse());
}

}  // namespace
}  // namespace vxr::test
