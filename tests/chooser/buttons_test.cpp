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
  // Still open and usable, and the program still running.
  void ExpectStillUsable(const std::wstring& context) {
    EXPECT_TRUE(ChooserOpen()) << context;
    EXPECT_TRUE(headless::CanPress(Chooser(), "Command1")) << context;
    EXPECT_TRUE(headless::CanPress(Chooser(), "Command2")) << context;
    EXPECT_FALSE(Wizard().InUse()) << context;
    EXPECT_FALSE(headless::ProgramHasEnded()) << context;
  }
};

// Under a folder that is not a root, chooser_walk.sh makes one under Wine.
TEST_F(ButtonsTest, NewFolderAsksUnderTheOpenFolderAndOpensWhatItMadeOrFound) {
  headless::SetCurrentFolder(L"C:\\");
  OpenChooserOn();  // missing default: the lists open C:'s current folder, its root
  NewFolder(L"  Tools  ");
  const auto& input = headless::ShownInputs().back();
  EXPECT_EQ(input.prompt, L"Enter a name for new folder :\r\rC:\\");
  EXPECT_EQ(input.title, L"New Folder");
  EXPECT_EQ(input.defaultText, L"");
  EXPECT_TRUE(IsFolder(L"C:\\Tools")) << "the answer is trimmed";
  EXPECT_EQ(Path(), L"C:\\Tools");

  // An existing folder is opened without a word, by the name as typed.
  machine_.MakeFolders(L"C:\\Tools\\Old");
  machine_.WriteFile(L"C:\\Tools\\Old\\keep.txt", "kept");
  NewFolder(L"old");
  EXPECT_EQ(Path(), L"C:\\Tools\\old");
  EXPECT_EQ(machine_.ReadFile(L"C:\\Tools\\Old\\keep.txt"), "kept");
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(InstallDir.Trimmed(), L"C:") << "only Ok changes the destination";
}

// A name Windows refuses ("a<b"): chooser_walk.sh, under Wine.
TEST_F(ButtonsTest, NamesThatAreBlankRefusedOrCannotBeMadeMakeNothingAndTheChooserStays) {
  constexpr wchar_t kInvalid[] = L"Characters, like '\\*?,:' are invalid.";
  struct Case {
    const wchar_t* answer;
    const wchar_t* message;  // nullptr: none
    const wchar_t* title;
    const wchar_t* failing = nullptr;  // a path prefix where making folders fails
    platform::DosError error = 0;
  } cases[] = {
      {L"", nullptr, nullptr},
      {L"    ", nullptr, nullptr},
      {L"a\\b", kInvalid, L"Invalid Characters"},
      {L"a*", kInvalid, L"Invalid Characters"},
      {L"what?", kInvalid, L"Invalid Characters"},
      {L"one,two", kInvalid, L"Invalid Characters"},
      {L"d:x", kInvalid, L"Invalid Characters"},
      {L"notes", L"C:\\Apps\\notes could not be opened!", L"Error"},
      {L"Locked", L"C:\\Apps\\Locked could not be created!", L"Error", L"C:\\Apps\\Locked",
       platform::kErrorWriteProtect},
      {L"Full", L"C:\\Apps\\Full could not be created!", L"Error", L"C:\\Apps", platform::kErrorDiskFull},
  };
  machine_.WriteFile(L"C:\\Apps\\notes", "a file");
  AddFixedDrive(L'D');
  headless::SetCurrentFolder(L"D:\\", false);
  OpenChooserOn(kApps);
  for (const auto& c : cases) {
    if (c.failing) headless::InjectFailure("MakeDirectory", c.failing, c.error);
    NewFolder(c.answer);
    if (c.message)
      ExpectOneBox(c.message, c.title);
    else
      EXPECT_TRUE(TakeBoxTexts().empty()) << c.answer;
    EXPECT_EQ(Path(), kApps) << c.answer;
    ExpectStillUsable(c.answer);
  }
  ASSERT_TRUE(PressInChooser("Command1"));  // the box cancelled: empty text
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(headless::ShownInputs().size(), std::size(cases) + 1) << "the box is not shown again by itself";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(machine_.Host(kApps)), {}), 1)
      << "only the file that was there";

  // On a drive whose medium has gone since it was opened.
  ASSERT_TRUE(SelectDrive(L"d:"));
  headless::SetDriveReady(L'D', false);
  NewFolder(L"Late");
  ExpectOneBox(L"D:\\Late could not be created!", L"Error");
  ExpectStillUsable(L"drive gone");
}

TEST_F(ButtonsTest, OkAtARootKeepsALongDestinationAndTakesTheWizardsForAShortOne) {
  AddFixedDrive(L'D');
  OpenChooserOn(kApps);
  ASSERT_TRUE(SelectDrive(L"d:"));
  ASSERT_EQ(Path(), L"D:\\");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(InstallDir.Trimmed(), kApps);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kApps);

  // The opening shortened the missing default to "C:"; Ok at a root falls
  // back to what the wizard shows.
  ResetProgram();
  headless::SetCurrentFolder(L"C:\\");
  OpenChooserOn();
  ASSERT_EQ(InstallDir.Trimmed(), L"C:");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(InstallDir.Trimmed(), kDefault);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault);
  EXPECT_TRUE(Wizard().InUse());
}

}  // namespace
}  // namespace vxr::test
