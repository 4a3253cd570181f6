// The wizard's pages, buttons and licence options.
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {
namespace {

TEST_F(WizardTest, StartsOnTheWelcomePageAsDesigned) {
  Start();
  EXPECT_EQ(WizardPage, 1);
  EXPECT_EQ(VisiblePage(), 1);
  EXPECT_FALSE(CanPress("Command1"));
  EXPECT_TRUE(CanPress("Command2"));
  EXPECT_TRUE(CanPress("Command3"));
  EXPECT_EQ(Wizard().Text(Form1::Command2), L"Next >>");
  EXPECT_EQ(Wizard().Text(Form1::Label10), L"C:\\Program Files\\Screen Recorder");
  EXPECT_EQ(Wizard().Picture(Form1::Image1), Wizard().Icon());
  EXPECT_NE(Wizard().Icon(), platform::kNoIcon);
  EXPECT_GT(Wizard().Text(Form1::Text1).size(), 600u) << "the licence text is loaded";
  EXPECT_FALSE(Shown("Check1"));
}

TEST_F(WizardTest, BackOnPageOneChangesNothing) {
  Start();
  // A person cannot press the disabled button; the handler itself keeps it disabled.
  EXPECT_FALSE(Press("Command1"));
  TheForm1().Command1_Click();
  EXPECT_EQ(WizardPage, 1);
  EXPECT_EQ(VisiblePage(), 1);
  EXPECT_FALSE(Wizard().Enabled(Form1::Command1));
}

TEST_F(WizardTest, LicenceOptionsGateNext) {
  Start();
  ASSERT_TRUE(Press("Command2"));
  EXPECT_EQ(WizardPage, 2);
  EXPECT_EQ(VisiblePage(), 2);
  EXPECT_TRUE(CanPress("Command1"));
  EXPECT_FALSE(CanPress("Command2"));
  EXPECT_EQ(Wizard().Value(Form1::Option1), 0);
  EXPECT_EQ(Wizard().Value(Form1::Option2), 0);

  ASSERT_TRUE(Press("Option1"));
  EXPECT_TRUE(CanPress("Command2"));
  ASSERT_TRUE(Press("Option2"));
  EXPECT_EQ(Wizard().Value(Form1::Option1), 0) << "the options exclude each other";
  // Refusing the licence disables Next: a person cannot move on.
  EXPECT_FALSE(Press("Command2"));
  EXPECT_EQ(WizardPage, 2);
  EXPECT_EQ(VisiblePage(), 2);
  ASSERT_TRUE(Press("Option1"));
  ASSERT_TRUE(Press("Command2"));
  EXPECT_EQ(WizardPage, 3);
  EXPECT_EQ(VisiblePage(), 3);
  EXPECT_TRUE(CanPress("Command2"));
  EXPECT_TRUE(CanPress("Command1"));
  EXPECT_TRUE(CanPress("Command4"));
}

TEST_F(WizardTest, ComingBackToTheLicenceAsksAgain) {
  Start();
  GoToPage3();
  ASSERT_TRUE(Press("Command1"));
  EXPECT_EQ(WizardPage, 2);
  EXPECT_EQ(VisiblePage(), 2);
  EXPECT_EQ(Wizard().Value(Form1::Option1), 0);
  EXPECT_EQ(Wizard().Value(Form1::Option2), 0);
  EXPECT_FALSE(CanPress("Command2"));
  EXPECT_TRUE(CanPress("Command1"));

  ASSERT_TRUE(Press("Command1"));
  EXPECT_EQ(WizardPage, 1);
  EXPECT_EQ(VisiblePage(), 1);
  EXPECT_FALSE(CanPress("Command1")) << "reaching page 1 disables Back";
  EXPECT_TRUE(CanPress("Command2"));
}

}  // namespace
}  // namespace vxr::test
