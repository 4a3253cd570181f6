// The ways out of the finished wizard: Finish and the close box, with and
// without the product started, and a product that cannot be started. (Yes and
// No to Cancel on the pages: page_flow_test and tests/wine/e2e/startup_exit.sh;
// during the installation: tests/install.)
#include <string>

#include "common/text.h"
#include "platform/dialogs.h"
#include "tests/support/pe_builder.h"
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {
namespace {

TEST_F(WizardTest, FinishedStartsTheProductOnlyWhenTheRunBoxIsTickedAndReportsOneThatCannotStart) {
  const auto program = MakePeImage(false, {{".text", 0x200, 0x1000, 0x200, 0x400}}, 0, 0, 0x600);
  const std::wstring kDefault = L"C:\\Program Files\\Screen Recorder";
  const struct {
    const char* name;
    bool closeBox, ticked;
    std::wstring dir;    // InstallDir, blanks and all
    bool fails = false;  // the program is missing
  } cases[] = {
      {"Finish, not ticked", false, false, kDefault},
      {"close box, ticked", true, true, kDefault},
      {"chosen destination", false, true, L"  D:\\Apps\\SR"},
      // Any start that fails, which the platform's routes tell apart
      // (tests/wine/e2e/product_start.sh), is reported alike.
      {"missing", false, true, kDefault, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    TestMachine machine;
    machine.AddDrive(L'D');
    const std::wstring dir(Trim(c.dir));
    const std::wstring exe = dir + L"\\Screen Recorder.exe";
    machine.MakeFolders(dir);
    if (!c.fails) machine.WriteFile(exe, std::string(program.begin(), program.end()));
    Start();
    InstallDir = c.dir;
    // The finish page as the installation leaves it (what ends the setup is the Finish text).
    for (int page = 1; page <= 4; ++page) Wizard().SetVisible(Form1::Frame1(page), page == 4);
    WizardPage = 4;
    Wizard().SetText(Form1::Command2, Form1::kFinish);
    Wizard().SetVisible(Form1::Check1, true);
    ASSERT_TRUE(!c.ticked || Press("Check1"));
    EXPECT_TRUE(headless::EndsProgram([&] {
      EXPECT_TRUE(c.closeBox ? headless::PressCloseBox(Wizard()) : Press("Command2"));
    })) << "the setup ends all the same";
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

}  // namespace
}  // namespace vxr::test
