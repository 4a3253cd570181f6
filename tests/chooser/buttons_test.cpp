// New Folder, Ok, Cancel and the close box.
#include "tests/chooser/chooser_fixture.h"

namespace vxr::test {
namespace {

constexpr wchar_t kApps[] = L"C:\\Apps";

class ButtonsTest : public ChooserTest {
 protected:
  void SetUp() override {
    ChooserTest::SetUp();
    machine_.MakeFolders(kApps);
    headless::SetFreeBytes(L'C', 1ull << 30);
  }
  // Types `answer` into the New Folder box.
  void NewFolder(std::wstring answer) {
    headless::QueueInputAnswer(std::move(answer));
    ASSERT_TRUE(PressInChooser("Command1"));
  }
  bool IsFolder(std::wstring_view path) { return std::filesystem::is_directory(machine_.Host(path)); }
  int Entries(std::wstring_view folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(machine_.Host(folder)))
      ++count;
    return count;
  }
  // Still open and usable, and the program still running.
  void ExpectStillUsable(const std::wstring& context) {
    EXPECT_TRUE(ChooserOpen()) << context;
    EXPECT_TRUE(headless::CanPress(Chooser(), "Command1")) << context;
    EXPECT_TRUE(headless::CanPress(Chooser(), "Command2")) << context;
    EXPECT_FALSE(Wizard().InUse()) << context;
    EXPECT_FALSE(headless::ProgramHasEnded()) << context;
  }
};

TEST_F(ButtonsTest, NewFolderAsksUnderTheOpenFolderAndOpensWhatItMade) {
  OpenChooserOn(kApps);
  NewFolder(L"  Recorder  ");
  ASSERT_EQ(headless::ShownInputs().size(), 1u);
  const auto& input = headless::ShownInputs()[0];
  EXPECT_EQ(input.prompt, L"Enter a name for new folder :\r\rC:\\Apps\\");
  EXPECT_EQ(input.title, L"New Folder");
  EXPECT_EQ(input.defaultText, L"");
  EXPECT_TRUE(IsFolder(L"C:\\Apps\\Recorder")) << "the answer is trimmed";
  EXPECT_EQ(Path(), L"C:\\Apps\\Recorder");
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(InstallDir.Trimmed(), kApps) << "only Ok changes the destination";
}

TEST_F(ButtonsTest, NewFolderAtARootGoesDirectlyUnderIt) {
  headless::SetCurrentFolder(L"C:\\");
  OpenChooser();  // missing default: the lists open C:'s current folder, its root
  ASSERT_EQ(Path(), L"C:\\");
  NewFolder(L"Tools");
  EXPECT_EQ(headless::ShownInputs().back().prompt, L"Enter a name for new folder :\r\rC:\\");
  EXPECT_TRUE(IsFolder(L"C:\\Tools"));
  EXPECT_EQ(Path(), L"C:\\Tools");
}

TEST_F(ButtonsTest, NewFolderWithNothingOrRefusedCharactersMakesNothing) {
  OpenChooserOn(kApps);
  for (const wchar_t* answer : {L"", L"    "}) {
    NewFolder(answer);
    EXPECT_TRUE(headless::ShownBoxes().empty()) << "blank answer: no message";
  }
  ASSERT_TRUE(PressInChooser("Command1"));  // the box cancelled: empty text
  EXPECT_TRUE(headless::ShownBoxes().empty());

  for (const wchar_t* answer : {L"a\\b", L"a*", L"what?", L"one,two", L"d:x"}) {
    headless::ClearShownBoxes();
    NewFolder(answer);
    ASSERT_EQ(headless::ShownBoxes().size(), 1u) << answer;
    EXPECT_EQ(headless::ShownBoxes()[0].text, L"Characters, like '\\*?,:' are invalid.");
    EXPECT_EQ(headless::ShownBoxes()[0].title, L"Invalid Characters");
    EXPECT_EQ(headless::ShownBoxes()[0].style, 0x30u);
  }
  EXPECT_EQ(headless::ShownInputs().size(), 8u) << "the box is not shown again by itself";
  EXPECT_EQ(Entries(kApps), 0);
  EXPECT_EQ(Path(), kApps);
  ExpectStillUsable(L"refused names");
}

TEST_F(ButtonsTest, AnExistingFolderIsOpenedWithoutAWord) {
  machine_.MakeFolders(L"C:\\Apps\\Old");
  machine_.WriteFile(L"C:\\Apps\\Old\\keep.txt", "kept");
  OpenChooserOn(kApps);
  NewFolder(L"old");
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(Path(), L"C:\\Apps\\old") << "opened by the name as typed";
  EXPECT_EQ(machine_.ReadFile(L"C:\\Apps\\Old\\keep.txt"), "kept");
}

TEST_F(ButtonsTest, AFolderThatCannotBeMadeIsReportedAndTheChooserStays) {
  machine_.WriteFile(L"C:\\Apps\\notes", "a file");
  AddFixedDrive(L'D');
  headless::SetCurrentFolder(L"D:\\", false);
  struct Case {
    const wchar_t* answer;
    const wchar_t* message;
    std::function<void()> arrange;
  } cases[] = {
      {L"a<b", L"C:\\Apps\\a<b could not be created!", [] {}},  // a name Windows refuses
      {L"notes", L"C:\\Apps\\notes could not be opened!", [] {}},
      {L"Locked", L"C:\\Apps\\Locked could not be created!",
       [] { headless::InjectFailure("MakeDirectory", L"C:\\Apps\\Locked", platform::kErrorWriteProtect); }},
      {L"Full", L"C:\\Apps\\Full could not be created!",
       [] { headless::InjectFailure("MakeDirectory", L"C:\\Apps", platform::kErrorDiskFull); }},
  };
  OpenChooserOn(kApps);
  for (const auto& c : cases) {
    headless::ClearShownBoxes();
    c.arrange();
    NewFolder(c.answer);
    ASSERT_EQ(headless::ShownBoxes().size(), 1u) << c.answer;
    EXPECT_EQ(headless::ShownBoxes()[0].text, c.message);
    EXPECT_EQ(headless::ShownBoxes()[0].title, L"Error");
    EXPECT_EQ(headless::ShownBoxes()[0].style, 0x30u);
    EXPECT_EQ(Path(), kApps) << c.answer;
    ExpectStillUsable(c.answer);
  }
  EXPECT_EQ(Entries(kApps), 1) << "only the file that was there";

  // On a drive whose medium has gone since it was opened.
  ASSERT_TRUE(SelectDrive(L"d:"));
  headless::SetDriveReady(L'D', false);
  headless::ClearShownBoxes();
  NewFolder(L"Late");
  ASSERT_EQ(headless::ShownBoxes().size(), 1u);
  EXPECT_EQ(headless::ShownBoxes()[0].text, L"D:\\Late could not be created!");
  ExpectStillUsable(L"drive gone");
}

TEST_F(ButtonsTest, OkTakesTheOpenFolderAndGivesTheWizardBack) {
  machine_.MakeFolders(L"C:\\Apps\\Screen Recorder");
  OpenChooserOn(kApps);
  ASSERT_TRUE(headless::OpenFolder(Chooser(), "Dir1", L"Screen Recorder"));
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_FALSE(ChooserOpen());
  EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Apps\\Screen Recorder");
  EXPECT_EQ(Wizard().Text(Form1::Label10), L"C:\\Apps\\Screen Recorder");
  EXPECT_EQ(headless::InUseChanges(Wizard()), (std::vector<bool>{false, true}));
  EXPECT_TRUE(CanPress("Command2"));
  EXPECT_TRUE(CanPress("Command4"));
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(ButtonsTest, OkAtARootKeepsALongDestinationAndTakesTheWizardsForAShortOne) {
  // Long: the destination as it was.
  AddFixedDrive(L'D');
  OpenChooserOn(kApps);
  ASSERT_TRUE(SelectDrive(L"d:"));
  ASSERT_EQ(Path(), L"D:\\");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(InstallDir.Trimmed(), kApps);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kApps);

  // Short: the opening shortened the missing default to "C:"; Ok at a root
  // falls back to what the wizard shows.
  ResetProgram();
  headless::SetCurrentFolder(L"C:\\");
  OpenChooser();
  ASSERT_EQ(InstallDir.Trimmed(), L"C:");
  ASSERT_EQ(Path(), L"C:\\");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(InstallDir.Trimmed(), kDefault);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault);
  EXPECT_TRUE(Wizard().InUse());
}

TEST_F(ButtonsTest, CancelAndTheCloseBoxGiveTheWizardBackOnceAndChangeNothing) {
  struct Way {
    const char* name;
    std::function<bool(platform::Form&)> close;
  } ways[] = {
      {"Cancel", [](platform::Form& f) { return headless::Click(f, "Command3"); }},
      {"close box", [](platform::Form& f) { return headless::PressCloseBox(f); }},
      {"shutdown", [](platform::Form& f) { return f.Unload(platform::CloseReason::WindowsShutdown); }},
      {"task manager", [](platform::Form& f) { return f.Unload(platform::CloseReason::TaskManager); }},
  };
  for (const auto& way : ways) {
    ResetProgram();
    AddFixedDrive(L'D');
    OpenChooserOn(kApps);
    ASSERT_TRUE(SelectDrive(L"d:")) << way.name;
    ASSERT_TRUE(way.close(Chooser())) << way.name;
    EXPECT_FALSE(ChooserOpen()) << way.name;
    EXPECT_EQ(headless::InUseChanges(Wizard()), (std::vector<bool>{false, true})) << way.name;
    EXPECT_EQ(InstallDir.Trimmed(), kApps) << way.name;
    EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << way.name;
    EXPECT_TRUE(CanPress("Command4")) << way.name;
    EXPECT_FALSE(headless::ProgramHasEnded()) << way.name;
  }
}

}  // namespace
}  // namespace vxr::test
