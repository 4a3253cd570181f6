// Starts the setup on a headless machine and presses its controls by name.
#pragma once

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "tests/support/test_machine.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr::test {

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgram(); }
  void TearDown() override { ResetProgram(); }

  void Start() {
    Main();
    ASSERT_NE(headless::FindForm(Form1::kCaption), nullptr);
  }
  platform::Form& Wizard() { return TheForm1().Window(); }
  bool Press(std::string_view control) { return headless::Click(Wizard(), control); }
  bool CanPress(std::string_view control) { return headless::CanPress(Wizard(), control); }
  int VisiblePage() {
    int page = 0;
    for (int i = 1; i <= 4; ++i)
      if (Wizard().Visible(Form1::Frame1(i))) {
        EXPECT_EQ(page, 0) << "two pages visible";
        page = i;
      }
    return page;
  }
  void GoToPage3() {
    ASSERT_TRUE(Press("Command2") && Press("Option1") && Press("Command2") && WizardPage == 3);
  }

  TestMachine machine_;
};

}  // namespace vxr::test
