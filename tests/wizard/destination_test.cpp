// The destination check of the finish page.
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {
namespace {

constexpr wchar_t kDefault[] = L"C:\\Program Files\\Screen Recorder";

class DestinationTest : public WizardTest {
 protected:
  void NextFromPage3() { ASSERT_TRUE(Press("Command2")); }
};

TEST_F(DestinationTest, DefaultIsMadeInTwoSteps) {
  Start();
  GoToPage3();
  ASSERT_FALSE(std::filesystem::exists(machine_.Host(L"C:\\Program Files")));
  NextFromPage3();
  EXPECT_TRUE(std::filesystem::is_directory(machine_.Host(kDefault)));
  EXPECT_EQ(WizardPage, 4);
  EXPECT_EQ(VisiblePage(), 4);
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_TRUE(CanPress("Command3"));
}

TEST_F(DestinationTest, ExistingDestinationIsUsedAsItIs) {
  machine_.MakeFolders(L"C:\\Apps\\SR");
  Start();
  GoToPage3();
  InstallDir = L"C:\\Apps\\SR   ";
  NextFromPage3();
  EXPECT_EQ(WizardPage, 4);
  EXPECT_EQ(InstallDir.Trimmed(), L"C:\\Apps\\SR");
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(DestinationTest, MissingFolderOneLevelDeepIsMade) {
  Start();
  GoToPage3();
  InstallDir = L"C:\\Recorder";
  NextFromPage3();
  EXPECT_EQ(WizardPage, 4);
  EXPECT_TRUE(std::filesystem::is_directory(machine_.Host(L"C:\\Recorder")));
}

TEST_F(DestinationTest, BareDriveInstallsIntoItsScreenRecorderFolder) {
  machine_.AddDrive(L'D');
  for (const wchar_t* bare : {L"D:", L"D:\\"}) {
    ResetProgram();
    Start();
    GoToPage3();
    InstallDir = bare;
    NextFromPage3();
    EXPECT_EQ(InstallDir.Trimmed(), L"D:\\Screen Recorder") << bare;
    EXPECT_EQ(WizardPage, 4);
    EXPECT_TRUE(std::filesystem::is_directory(machine_.Host(L"D:\\Screen Recorder")));
  }
}

TEST_F(DestinationTest, UnreachableDestinationIsReportedAndRetried) {
  Start();
  GoToPage3();
  InstallDir = L"C:\\No\\Such\\Place";
  NextFromPage3();
  ASSERT_EQ(headless::ShownBoxes().size(), 1u);
  const auto& box = headless::ShownBoxes()[0];
  EXPECT_EQ(box.text, L"C:\\No\\Such\\Place could not be found!");
  EXPECT_EQ(box.title, L"Error");
  EXPECT_EQ(box.style, 0x30u);
  EXPECT_EQ(WizardPage, 3);
  EXPECT_EQ(VisiblePage(), 3);
  EXPECT_TRUE(CanPress("Command1"));
  EXPECT_TRUE(CanPress("Command2"));
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << "the shown destination is not changed";

  // One more Next retries with the destination as it is now.
  machine_.MakeFolders(L"C:\\No\\Such");
  NextFromPage3();
  EXPECT_EQ(WizardPage, 4);
  EXPECT_EQ(headless::ShownBoxes().size(), 1u);
}

TEST_F(DestinationTest, EmptyDestinationNamesTheDrivelessPath) {
  Start();
  GoToPage3();
  InstallDir = L"   ";
  NextFromPage3();
  ASSERT_EQ(headless::ShownBoxes().size(), 1u);
  EXPECT_EQ(headless::ShownBoxes()[0].text, L":\\Screen Recorder could not be found!");
  EXPECT_EQ(InstallDir.Trimmed(), L":\\Screen Recorder");
  EXPECT_EQ(WizardPage, 3);
}

TEST_F(DestinationTest, DefaultComparisonIsCaseSensitive) {
  // Only the exact default gets its parent made; another spelling of it is an
  // ordinary destination whose parent is missing.
  Start();
  GoToPage3();
  InstallDir = L"C:\\PROGRAM FILES\\Screen Recorder";
  NextFromPage3();
  ASSERT_EQ(headless::ShownBoxes().size(), 1u);
  EXPECT_EQ(WizardPage, 3);
}

TEST_F(DestinationTest, UnmakeableDefaultStillGoesOn) {
  headless::InjectFailure("MakeDirectory", L"C:\\Program Files", platform::kErrorAccessDenied, 3);
  Start();
  GoToPage3();
  NextFromPage3();
  EXPECT_EQ(WizardPage, 4) << "the installation's own file errors tell the user";
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(DestinationTest, PathsFromTheSystemLoseTheirTrailingBackslash) {
  headless::SetTempPath(L"C:\\TEMP\\");
  headless::SetWindowsDirectory(L"C:\\");
  Start();
  EXPECT_EQ(TempDir.Trimmed(), L"C:\\TEMP");
  EXPECT_EQ(WindowsDrive, L"C:");
  EXPECT_EQ(DefaultInstallDir(), kDefault);
}

}  // namespace
}  // namespace vxr::test
