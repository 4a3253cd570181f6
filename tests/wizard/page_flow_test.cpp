// The wizard's pages, buttons and licence options, walked there and back; on
// every page Cancel and the close box answered No change nothing.
#include "platform/dialogs.h"
#include "tests/wizard/wizard_fixture.h"
#include "tests/wizard/wizard_state.h"

namespace vxr::test {
namespace {

TEST_F(WizardTest, PagesFollowTheButtonsTheLicenceGatesNextAndNoKeepsEverything) {
  Start();
  EXPECT_EQ(Wizard().Text(Form1::Command2), L"Next >>");
  EXPECT_EQ(Wizard().Text(Form1::Label10), L"C:\\Program Files\\Screen Recorder");
  EXPECT_NE(Wizard().Icon(), platform::kNoIcon);
  EXPECT_EQ(Wizard().Picture(Form1::Image1), Wizard().Icon());
  EXPECT_GT(Wizard().Text(Form1::Text1).size(), 600u) << "the licence text is loaded";
  EXPECT_FALSE(Wizard().Visible(Form1::Check1));
  auto expectPage = [&](int page, bool back, bool next) {
    EXPECT_EQ(WizardPage, page);
    EXPECT_EQ(VisiblePage(), page);
    EXPECT_EQ(CanPress("Command1"), back);
    EXPECT_EQ(CanPress("Command2"), next);
    const WizardState before = StateOf(Wizard());
    // No, or Enter (the question's default button), to Cancel and the close box.
    for (const int answer : {platform::kIdNo, 0}) {
      for (const bool closeBox : {false, true}) {
        headless::ClearShownBoxes();
        if (answer) headless::QueueBoxAnswer(answer);
        EXPECT_FALSE(headless::EndsProgram(
            [&] { EXPECT_TRUE(closeBox ? headless::PressCloseBox(Wizard()) : Press("Command3")); }));
        ASSERT_EQ(headless::ShownBoxes().size(), 1u);
        EXPECT_EQ(headless::ShownBoxes()[0].text, L"Do you want to cancel the installation?");
        EXPECT_EQ(headless::ShownBoxes()[0].style, 0x1124u);
        EXPECT_EQ(headless::ShownBoxes()[0].title, L"Screen Recorder");
        EXPECT_TRUE(StateOf(Wizard()) == before) << "the wizard changed behind a refused close";
      }
    }
  };
  expectPage(1, false, true);
  // A person cannot press the disabled Back; the handler itself keeps page 1 too.
  TheForm1().Command1_Click();
  expectPage(1, false, true);

  ASSERT_TRUE(Press("Command2"));
  for (int visit = 0; visit < 2; ++visit) {
    SCOPED_TRACE(visit ? "coming back to the licence" : "first visit");
    expectPage(2, true, false);
    EXPECT_EQ(Wizard().Value(Form1::Option1), 0) << "the licence is asked every time";
    EXPECT_EQ(Wizard().Value(Form1::Option2), 0);
    ASSERT_TRUE(Press("Option2"));
    EXPECT_FALSE(Press("Command2")) << "refusing the licence disables Next";
    ASSERT_TRUE(Press("Option1"));
    EXPECT_EQ(Wizard().Value(Form1::Option2), 0) << "the options exclude each other";
    expectPage(2, true, true);
    ASSERT_TRUE(Press("Command2"));
    expectPage(3, true, true);
    EXPECT_TRUE(CanPress("Command4"));
    ASSERT_TRUE(Press("Command1"));
  }
  ASSERT_TRUE(Press("Command1"));
  expectPage(1, false, true);

  headless::QueueBoxAnswer(platform::kIdYes);
  EXPECT_TRUE(headless::EndsProgram([&] { headless::PressCloseBox(Wizard()); }));
  EXPECT_EQ(Wizard().Text(Form1::Label11), L"Temporary files are being deleted...");
  EXPECT_TRUE(headless::StartedPrograms().empty());
}

}  // namespace
}  // namespace vxr::test
