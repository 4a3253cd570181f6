// Cancel and the close box answered No at every event point of one
// installation: each time the wizard is left exactly as it was, and the
// installation goes on to its end.
#include "platform/dialogs.h"
#include "tests/install/install_fixture.h"
#include "tests/wizard/wizard_state.h"

namespace vxr::test {
namespace {

TEST_F(InstallTest, NoAtEveryEventPointLeavesTheWizardAsItWas) {
  int refused = 0;
  ASSERT_FALSE(Install([this, &refused](int point) {
    const WizardState before = StateOf(Wizard());
    headless::QueueBoxAnswer(platform::kIdNo);
    EXPECT_TRUE(point % 2 ? Press("Command3") : headless::PressCloseBox(Wizard())) << "event point " << point;
    EXPECT_TRUE(StateOf(Wizard()) == before)
        << "the wizard changed behind the refused close at event point " << point;
    ++refused;
  })) << "No ended the setup";
  EXPECT_EQ(refused, static_cast<int>(points_.size()));
  EXPECT_EQ(headless::ShownBoxes().size(), points_.size());
  EXPECT_TRUE(TheForm1().Finished());
  for (const auto& file : DemoFiles())
    EXPECT_EQ(Installed(file.installedName), file.bytes) << file.installedName;
  EXPECT_FALSE(Exists(kStaging));
}

}  // namespace
}  // namespace vxr::test
