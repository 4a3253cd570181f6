// The destination check of the finish page.
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {
namespace {

constexpr wchar_t kDefault[] = L"C:\\Program Files\\Screen Recorder";

struct Destination {
  const char* what;         // the test's name
  const wchar_t* typed;     // InstallDir before Next; nullptr: the default the wizard starts with
  const wchar_t* existing;  // a folder made beforehand, or nullptr
  const wchar_t* used;      // InstallDir after Next
  const wchar_t* error;     // the box's text; nullptr: the finish page shows
  bool programFilesRefused = false;
  std::uint32_t codePage = 1252;  // the Windows' ANSI code page
};

constexpr wchar_t kTurkishFolder[] = L"C:\\Programlar\\Ekran Kaydedici Ğ";

const Destination kDestinations[] = {
    {"DefaultMadeInTwoSteps", nullptr, nullptr, kDefault, nullptr},
    // The installation's own file errors tell the user.
    {"DefaultThatCannotBeMade", nullptr, nullptr, kDefault, nullptr, true},
    {"Existing", L"C:\\Apps\\SR   ", L"C:\\Apps\\SR", L"C:\\Apps\\SR", nullptr},
    {"MissingOneLevelDeep", L"C:\\Recorder", nullptr, L"C:\\Recorder", nullptr},
    {"BareDrive", L"D:", nullptr, L"D:\\Screen Recorder", nullptr},
    {"BareDriveRoot", L"D:\\", nullptr, L"D:\\Screen Recorder", nullptr},
    {"MissingTwoLevelsDeep", L"C:\\No\\Such\\Place", nullptr, L"C:\\No\\Such\\Place",
     L"C:\\No\\Such\\Place could not be found!"},
    {"Empty", L"   ", nullptr, L":\\Screen Recorder", L":\\Screen Recorder could not be found!"},
    // Only the exact default gets its parent made.
    {"DefaultSpeltOtherwise", L"C:\\PROGRAM FILES\\Screen Recorder", nullptr,
     L"C:\\PROGRAM FILES\\Screen Recorder", L"C:\\PROGRAM FILES\\Screen Recorder could not be found!"},
    // The files and the registry are reached through the ANSI calls: a
    // Western Windows cannot name this folder there, a Turkish one can.
    {"LettersTheCodePageLacks", kTurkishFolder, L"C:\\Programlar", kTurkishFolder,
     L"C:\\Programlar\\Ekran Kaydedici Ğ cannot be used: its name has characters that the language "
     L"settings of this Windows do not support. Please choose another directory."},
    {"TurkishLettersOnATurkishWindows", kTurkishFolder, L"C:\\Programlar", kTurkishFolder, nullptr, false,
     1254},
};

// A destination that passes starts the installation at once; this machine has
// no package, so the installation's first extraction fails and ends the setup.
// True when that is the only box after the first `checkBoxes`.
bool InstallationStarted(std::size_t checkBoxes = 0) {
  const auto& boxes = headless::ShownBoxes();
  return headless::ProgramHasEnded() && boxes.size() == checkBoxes + 1 &&
         boxes.back().text == L"File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!";
}

class DestinationTest : public WizardTest, public ::testing::WithParamInterface<Destination> {};

TEST_P(DestinationTest, NextFromTheDestinationPage) {
  const Destination& row = GetParam();
  machine_.AddDrive(L'D');
  headless::SetAnsiCodePage(row.codePage);
  if (row.existing) machine_.MakeFolders(row.existing);
  if (row.programFilesRefused)
    headless::InjectFailure("MakeDirectory", L"C:\\Program Files", platform::kErrorAccessDenied, 3);
  Start();
  GoToPage3();
  if (row.typed) InstallDir = row.typed;
  headless::EndsProgram([&] { ASSERT_TRUE(Press("Command2")); });

  EXPECT_EQ(InstallDir.Trimmed(), row.used);
  const auto& boxes = headless::ShownBoxes();
  if (!row.error) {
    EXPECT_TRUE(InstallationStarted());
    EXPECT_EQ(WizardPage, 4);
    EXPECT_EQ(VisiblePage(), 4);
    EXPECT_TRUE(CanPress("Command3"));
    EXPECT_EQ(std::filesystem::is_directory(machine_.Host(row.used)), !row.programFilesRefused);
    return;
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(machine_.Host(row.used)))
      << "nothing is made for a refused destination";
  EXPECT_EQ(boxes[0].text, row.error);
  EXPECT_EQ(boxes[0].title, L"Error");
  EXPECT_EQ(boxes[0].style, 0x30u);
  EXPECT_EQ(WizardPage, 3);
  EXPECT_EQ(VisiblePage(), 3);
  EXPECT_TRUE(CanPress("Command1"));
  EXPECT_TRUE(CanPress("Command2"));
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << "the shown destination is not changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, DestinationTest, ::testing::ValuesIn(kDestinations),
                         [](const auto& row) { return std::string(row.param.what); });

TEST_F(WizardTest, UnreachableDestinationIsTriedAgainOnNext) {
  Start();
  GoToPage3();
  InstallDir = L"C:\\No\\Such\\Place";
  ASSERT_TRUE(Press("Command2"));
  ASSERT_EQ(WizardPage, 3);
  machine_.MakeFolders(L"C:\\No\\Such");
  headless::EndsProgram([&] { ASSERT_TRUE(Press("Command2")); });
  EXPECT_EQ(WizardPage, 4);
  EXPECT_TRUE(InstallationStarted(1));
}

}  // namespace
}  // namespace vxr::test
