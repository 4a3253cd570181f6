// The destination check of the finish page.
#include "platform/dialogs.h"
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {
namespace {

TEST_F(WizardTest, NextFromTheDestinationPage) {
  const std::wstring kDefault = L"C:\\Program Files\\Screen Recorder",
                     turkish = L"C:\\Programlar\\Ekran Kaydedici Ğ";
  const struct {
    const char* what;
    const wchar_t* typed;     // InstallDir before Next; nullptr: the default the wizard starts with
    const wchar_t* existing;  // a folder made beforehand
    std::wstring used;        // InstallDir after Next; empty: as typed
    const wchar_t* error;  // the box's text; nullptr: the finish page shows; empty: "... could not be found!"
    bool programFilesRefused = false;
    std::uint32_t codePage = 1252;  // the Windows' ANSI code page
  } cases[] = {
      {"default, made in two steps", nullptr, nullptr, kDefault, nullptr},
      // The installation's own file errors tell the user.
      {"default that cannot be made", nullptr, nullptr, kDefault, nullptr, true},
      {"existing", L"C:\\Apps\\SR   ", L"C:\\Apps\\SR", L"C:\\Apps\\SR", nullptr},
      {"missing one level deep", L"C:\\Recorder", nullptr, L"", nullptr},
      {"bare drive", L"D:", nullptr, L"D:\\Screen Recorder", nullptr},
      {"bare drive root", L"D:\\", nullptr, L"D:\\Screen Recorder", nullptr},
      {"missing two levels deep", L"C:\\No\\Such\\Place", nullptr, L"", L""},
      {"empty", L"   ", nullptr, L":\\Screen Recorder", L""},
      // Only the exact default gets its parent made.
      {"default spelt otherwise", L"C:\\PROGRAM FILES\\Screen Recorder", nullptr, L"", L""},
      // Reached through the ANSI calls: a Western Windows cannot name this
      // folder (tests/chooser/wine/chooser_walk.sh), a Turkish one can.
      {"Turkish letters on a Turkish Windows", turkish.c_str(), L"C:\\Programlar", L"", nullptr, false, 1254},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProgram();
    TestMachine machine;
    machine.AddDrive(L'D');
    headless::SetAnsiCodePage(c.codePage);
    if (c.existing) machine.MakeFolders(c.existing);
    if (c.programFilesRefused)
      headless::InjectFailure("MakeDirectory", L"C:\\Program Files", platform::kErrorAccessDenied, 3);
    const std::wstring used = c.used.empty() ? c.typed : c.used;
    bool madeWhenInstalling = false;
    headless::SetBoxResponder([&](const headless::ShownBox&) {
      madeWhenInstalling = std::filesystem::is_directory(machine.Host(used));
      return platform::kIdOk;
    });
    Start();
    GoToPage3();
    if (c.typed) InstallDir = c.typed;
    headless::EndsProgram([&] { ASSERT_TRUE(Press("Command2")); });

    EXPECT_EQ(InstallDir.Trimmed(), used);
    const auto& boxes = headless::ShownBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    if (!c.error) {
      // The installation starts at once; this machine has no package, so its
      // first extraction fails and ends the setup.
      EXPECT_TRUE(headless::ProgramHasEnded());
      EXPECT_EQ(boxes[0].text,
                L"File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!");
      EXPECT_EQ(VisiblePage(), 4);
      EXPECT_TRUE(CanPress("Command3"));
      EXPECT_EQ(madeWhenInstalling, !c.programFilesRefused);
      // Abandoned, the installation takes back the folders it made.
      EXPECT_EQ(std::filesystem::exists(machine.Host(used)), c.existing && used == c.existing);
      EXPECT_FALSE(std::filesystem::exists(machine.Host(L"C:\\Program Files")));
      continue;
    }
    EXPECT_FALSE(std::filesystem::exists(machine.Host(used))) << "nothing is made for a refused destination";
    EXPECT_EQ(boxes[0].text, *c.error ? c.error : used + L" could not be found!");
    EXPECT_EQ(boxes[0].title, L"Error");
    EXPECT_EQ(boxes[0].style, 0x30u);
    EXPECT_EQ(VisiblePage(), 3);
    EXPECT_TRUE(CanPress("Command1"));
    EXPECT_TRUE(CanPress("Command2"));
    EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault) << "the shown destination is not changed";
  }
}

}  // namespace
}  // namespace vxr::test
