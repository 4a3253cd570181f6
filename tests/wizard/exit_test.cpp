// The ways out of the wizard: Finish with and without the product started, a
// product that cannot be started, and Yes to Cancel removing the staging
// folder. (No to Cancel: page_flow_test; during the installation: tests/install.)
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "common/text.h"
#include "platform/dialogs.h"
#include "tests/support/pe_builder.h"
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP";

class ExitTest : public WizardTest {
 protected:
  // How the install sequence leaves the wizard when it has finished.
  void Finish() {
    for (int page = 1; page <= 4; ++page) Wizard().SetVisible(Form1::Frame1(page), page == 4);
    WizardPage = 4;
    Wizard().SetEnabled(Form1::Command1, false);
    Wizard().SetEnabled(Form1::Command3, false);
    Wizard().SetText(Form1::Command2, Form1::kFinish);
    Wizard().SetVisible(Form1::Check1, true);
  }
  // "Command3" (Cancel), "Command2" (Finish) or "close box".
  void Close(std::string_view how) {
    if (how == "close box") {
      ASSERT_TRUE(headless::PressCloseBox(Wizard()));
    } else {
      ASSERT_TRUE(Press(how));
    }
  }
};

TEST_F(ExitTest, FinishedStartsTheProductOnlyWhenTheRunBoxIsTickedAndReportsOneThatCannotStart) {
  const auto image = MakePeImage(false, {{".text", 0x200, 0x1000, 0x200, 0x400}}, 0, 0, 0x600);
  const std::string program(image.begin(), image.end());
  const std::wstring kDefault = L"C:\\Program Files\\Screen Recorder";
  const struct {
    const char* name;
    std::string_view how;
    bool ticked;
    std::wstring dir;                  // InstallDir, blanks and all
    std::optional<std::string> bytes;  // the installed program; nullopt: missing
    bool fails = false, startRefused = false, desktopShell = true;
  } cases[] = {
      {"Finish, ticked", "Command2", true, kDefault, program},
      {"Finish, not ticked", "Command2", false, kDefault, program},
      {"close box, ticked", "close box", true, kDefault, program},
      {"close box, not ticked", "close box", false, kDefault, program},
      // Without a desktop shell, as under Wine, the product is started directly.
      {"chosen destination", "Command2", true, L"  D:\\Apps\\SR", program, false, false, false},
      {"missing", "Command2", true, kDefault, std::nullopt, true},
      {"damaged", "Command2", true, kDefault, "MZ, and then nothing a loader could use", true},
      {"refused", "Command2", true, kDefault, program, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    TestMachine machine;
    machine.AddDrive(L'D');
    const std::wstring dir(Trim(c.dir));
    const std::wstring exe = dir + L"\\Screen Recorder.exe";
    if (c.bytes) {
      machine.MakeFolders(dir);
      machine.WriteFile(exe, *c.bytes);
    }
    headless::SetStartProgramResult(!c.startRefused);
    headless::SetDesktopShellAnswers(c.desktopShell);
    Start();
    InstallDir = c.dir;
    Finish();
    ASSERT_TRUE(!c.ticked || Press("Check1"));
    EXPECT_TRUE(headless::EndsProgram([&] { Close(c.how); })) << "the setup ends all the same";
    ASSERT_EQ(headless::ShownBoxes().size(), c.fails ? 1u : 0u) << "no question once finished";
    for (const auto& box : headless::ShownBoxes()) {
      EXPECT_EQ(box.title, L"Error");
      EXPECT_EQ(box.style, platform::kMbOk | platform::kMbIconExclamation);
      EXPECT_NE(box.text.find(exe), std::wstring::npos) << "the box names the program file";
    }
    const bool started = c.ticked && !c.fails;
    EXPECT_EQ(headless::StartedPrograms(), started ? std::vector{exe} : std::vector<std::wstring>{});
    EXPECT_EQ(started ? headless::LastStartDirectory() : dir, dir);
  }
}

TEST_F(ExitTest, YesEmptiesTheStagingFolderOfItsOwnFilesOnly) {
  const std::wstring staged = std::wstring(kStaging) + L"\\";
  const struct {
    const char* name;
    std::vector<std::wstring> files;  // below the staging folder; "" makes the folder alone
    bool folderStays;
    std::vector<std::wstring> staying;  // host paths below C:\WINDOWS\TEMP, besides another program's file
    const wchar_t* readOnly = nullptr;
  } cases[] = {
      {"no folder", {}, false, {}},
      {"empty folder", {L""}, false, {}},
      {"pieces", {L"VXR.EX_", L"VXR.CH_", L"BEEP.WA_", L"noextension"}, false, {}},
      {"a subfolder", {L"sub\\inner.bin", L"VXR.EX_"}, true, {L"VXRTMP/sub/inner.bin"}},
      {"a read-only file", {L"A.WA_", L"B.WA_", L"C.WA_"}, true, {L"VXRTMP/B.WA_"}, L"B.WA_"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    TestMachine machine;
    machine.WriteFile(L"C:\\WINDOWS\\TEMP\\other.tmp", "not ours");
    for (const auto& file : c.files) {
      const std::wstring path = staged + file;
      machine.MakeFolders(path.substr(0, path.rfind(L'\\')));
      if (!file.empty()) machine.WriteFile(path, "SZDD");
    }
    if (c.readOnly)
      fs::permissions(machine.Host(staged + c.readOnly),
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    Start();
    headless::QueueBoxAnswer(platform::kIdYes);
    EXPECT_TRUE(headless::EndsProgram([&] { Press("Command3"); }));
    EXPECT_EQ(headless::ShownBoxes().size(), 1u) << "nothing about the files is reported";

    std::vector<std::wstring> left;
    const fs::path temp = machine.Host(L"C:\\WINDOWS\\TEMP");
    for (const auto& entry : fs::recursive_directory_iterator(temp))
      if (entry.is_regular_file()) left.push_back(entry.path().lexically_relative(temp).wstring());
    std::sort(left.begin(), left.end());
    auto staying = c.staying;
    staying.push_back(L"other.tmp");
    EXPECT_EQ(left, staying);
    EXPECT_EQ(platform::PathExists(kStaging), c.folderStays);
  }
}

}  // namespace
}  // namespace vxr::test
