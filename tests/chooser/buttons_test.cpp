// New Folder and Ok, with the free space Ok asks for; the free-space figure.
#include "chooser/free_space.h"
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
  void NewFolder(std::wstring answer) {
    headless::QueueInputAnswer(std::move(answer));
    ASSERT_TRUE(PressInChooser("Command1"));
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

// Under a folder that is not a root, chooser_walk.sh makes one under Wine.
TEST_F(ButtonsTest, NewFolderAsksUnderTheOpenFolderAndOpensWhatItMadeOrFound) {
  headless::SetCurrentFolder(L"C:\\");
  OpenChooserOn();  // missing default: the lists open C:'s current folder, its root
  NewFolder(L"  Tools  ");
  const auto& input = headless::ShownInputs().back();
  EXPECT_EQ(input.prompt, L"Enter a name for new folder :\r\rC:\\");
  EXPECT_EQ(input.title, L"New Folder");
  EXPECT_EQ(input.defaultText, L"");
  EXPECT_TRUE(std::filesystem::is_directory(machine_.Host(L"C:\\Tools"))) << "the answer is trimmed";
  EXPECT_EQ(Path(), L"C:\\Tools");

  // An existing folder is opened without a word, by the name as typed.
  machine_.MakeFolders(L"C:\\Tools\\Old");
  machine_.WriteFile(L"C:\\Tools\\Old\\keep.txt", "kept");
  NewFolder(L"old");
  EXPECT_EQ(Path(), L"C:\\Tools\\old");
  EXPECT_EQ(machine_.ReadFile(L"C:\\Tools\\Old\\keep.txt"), "kept");
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(InstallDir.Trimmed(), kDefault) << "only Ok changes the destination";
}

// A name Windows refuses ("a<b"), and the box cancelled: chooser_walk.sh, under Wine.
TEST_F(ButtonsTest, NamesThatAreBlankRefusedOrCannotBeMadeMakeNothingAndTheChooserStays) {
  constexpr wchar_t kInvalid[] = L"Characters, like '\\*?,:' are invalid.";
  struct Case {
    const wchar_t* answer;
    const wchar_t* message;  // nullptr: none
  } cases[] = {
      {L"    ", nullptr},
      {L"a\\b", kInvalid},
      {L"a*", kInvalid},
      {L"what?", kInvalid},
      {L"one,two", kInvalid},
      {L"d:x", kInvalid},
      {L"notes", L"C:\\Apps\\notes could not be opened!"},
      // A write-protected medium, a drive that has gone: the same refusal.
      {L"Locked", L"C:\\Apps\\Locked could not be created!"},
  };
  machine_.WriteFile(L"C:\\Apps\\notes", "a file");
  headless::InjectFailure("MakeDirectory", L"C:\\Apps\\Locked", platform::kErrorWriteProtect);
  OpenChooserOn(kApps);
  for (const auto& c : cases) {
    NewFolder(c.answer);
    if (c.message)
      ExpectOneBox(c.message, c.message == kInvalid ? L"Invalid Characters" : L"Error");
    else
      EXPECT_TRUE(TakeBoxTexts().empty()) << c.answer;
    EXPECT_EQ(Path(), kApps) << c.answer;
    ExpectStillUsable(c.answer);
  }
  EXPECT_EQ(headless::ShownInputs().size(), std::size(cases)) << "the box is not shown again by itself";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(machine_.Host(kApps)), {}), 1)
      << "only the file that was there";
}

TEST_F(ButtonsTest, OkAtARootKeepsTheDestination) {
  AddFixedDrive(L'D');
  OpenChooserOn(kApps);
  ASSERT_TRUE(SelectDrive(L"d:"));
  ASSERT_EQ(Path(), L"D:\\");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(InstallDir.Trimmed(), kApps);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kApps);

  // The missing default, on a first installation: the lists open the root,
  // and Ok there keeps the default the wizard shows.
  ResetProgram();
  headless::SetCurrentFolder(L"C:\\");
  OpenChooserOn();
  ASSERT_EQ(Path(), L"C:\\");
  ASSERT_TRUE(PressInChooser("Command2"));
  EXPECT_EQ(InstallDir.Trimmed(), kDefault);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault);
  EXPECT_TRUE(Wizard().InUse());
}

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
