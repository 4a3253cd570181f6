// "Change Dir", the chooser's opening sequence, and leaving it without Ok.
#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

// chooser_walk.sh sees the same under Wine: the lists on the drive's root for
// a missing default, all controls usable, the wizard disabled, Ok's folder in it.
TEST_F(ChooserTest, ChangeDirPutsTheWizardOutOfUseUntilOkTakesTheOpenFolder) {
  machine_.MakeFolders(kDefault);
  OpenChooserOn();
  for (const char* control : {"Command1", "Command2", "Command3", "Command4"})
    EXPECT_FALSE(CanPress(control)) << control;
  EXPECT_FALSE(headless::PressCloseBox(Wizard()));
  EXPECT_EQ(Chooser().Icon(), Wizard().Icon()) << "it takes the wizard's icon";
  EXPECT_EQ(Lists(), At(L"c:", kDefault));
  ASSERT_TRUE(headless::OpenFolder(Chooser(), "Dir1", L".."));
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_FALSE(ChooserOpen());
  EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Program Files");
  EXPECT_EQ(Wizard().Text(Form1::Label10), L"C:\\Program Files");
  EXPECT_EQ(headless::InUseChanges(Wizard()), (std::vector<bool>{false, true}));
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(ChooserTest, ADestinationThatCannotBeOpenedLeavesTheListsOnTheWindowsDrive) {
  struct Case {
    const wchar_t* destination;  // empty: the default, which does not exist yet
    const wchar_t* installDir;   // after opening, and still after Cancel
    const wchar_t* box;
  } cases[] = {
      {L"", L"C:", nullptr},  // a missing destination gives way to the Windows drive, for good
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

TEST_F(ChooserTest, CancelAndTheCloseBoxGiveTheWizardBackOnceChangeNothingAndReopeningStartsAfresh) {
  struct Way {
    const char* name;
    std::function<bool(platform::Form&)> close;
  } ways[] = {
      {"Cancel", [](platform::Form& f) { return headless::Click(f, "Command3"); }},
      {"close box", [](platform::Form& f) { return headless::PressCloseBox(f); }},
      {"shutdown", [](platform::Form& f) { return f.Unload(platform::CloseReason::WindowsShutdown); }},
      {"task manager", [](platform::Form& f) { return f.Unload(platform::CloseReason::TaskManager); }},
  };
  machine_.MakeFolders(L"C:\\Apps");
  AddFixedDrive(L'D');
  for (const auto& way : ways) {
    ResetProgram();
    OpenChooserOn(L"C:\\Apps");
    ASSERT_TRUE(SelectDrive(L"d:")) << way.name;
    ASSERT_TRUE(way.close(Chooser())) << way.name;
    EXPECT_FALSE(ChooserOpen()) << way.name;
    EXPECT_EQ(headless::InUseChanges(Wizard()), (std::vector<bool>{false, true})) << way.name;
    EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Apps") << way.name;
    EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << way.name;
    EXPECT_FALSE(headless::ProgramHasEnded()) << way.name;
    ASSERT_TRUE(Press("Command4")) << way.name;
    EXPECT_EQ(Lists(), At(L"c:", L"C:\\Apps")) << way.name;
  }
}

}  // namespace
}  // namespace vxr::test
