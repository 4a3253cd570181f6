// On every page Cancel and the close box answered No change nothing a person
// could see. The walk there and back: tests/wine/e2e/startup_exit.sh.
#include "platform/dialogs.h"
#include "tests/wizard/wizard_fixture.h"
#include "tests/wizard/wizard_state.h"

namespace vxr::test {
namespace {

TEST_F(WizardTest, NoToCancelOnEveryPageKeepsEverything) {
  Start();
  EXPECT_NE(Wizard().Icon(), platform::kNoIcon);
  EXPECT_EQ(Wizard().Picture(Form1::Image1), Wizard().Icon());
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE(page);
    // A person cannot press the disabled Back; the handler itself keeps page 1 too.
    if (page == 1) TheForm1().Command1_Click();
    ASSERT_TRUE(page == 1 || Press("Command2"));
    if (page == 2) {
      // Refusing the licence disables Next; the options exclude each other.
      ASSERT_TRUE(Press("Option2") && !CanPress("Command2") && Press("Option1"));
      EXPECT_EQ(Wizard().Value(Form1::Option2), 0);
    }
    ASSERT_EQ(VisiblePage(), page);
    const WizardState before = StateOf(Wizard());
    for (const bool closeBox : {false, true}) {
      headless::ClearShownBoxes();
      headless::QueueBoxAnswer(platform::kIdNo);
      EXPECT_FALSE(headless::EndsProgram(
          [&] { EXPECT_TRUE(closeBox ? headless::PressCloseBox(Wizard()) : Press("Command3")); }));
      ASSERT_EQ(headless::ShownBoxes().size(), 1u);
      EXPECT_EQ(headless::ShownBoxes()[0].text, L"Do you want to cancel the installation?");
      EXPECT_EQ(headless::ShownBoxes()[0].style, 0x1124u);  // No the default: Enter keeps the setup
      EXPECT_EQ(headless::ShownBoxes()[0].title, L"Screen Recorder");
      EXPECT_TRUE(StateOf(Wizard()) == before) << "the wizard changed behind a refused close";
    }
  }
  headless::QueueBoxAnswer(platform::kIdYes);
  EXPECT_TRUE(headless::EndsProgram([&] { headless::PressCloseBox(Wizard()); }));
  EXPECT_EQ(Wizard().Text(Form1::Label11), L"Temporary files are being deleted...");
  EXPECT_TRUE(headless::StartedPrograms().empty());
}

}  // namespace
}  // namespace vxr::test
