// Cancel and the close box during the installation: heard at every event
// point; Yes ends the setup where it stands, No lets the installation go on.
#include "platform/dialogs.h"
#include "platform/headless/registry_store.h"
#include "registration/product_settings.h"
#include "tests/install/install_fixture.h"

namespace vxr::test {
namespace {

using platform::registry::RootKey;

constexpr int kEventPoints = 9;  // one per piece, one in the program-group step
const std::wstring kQuestion = L"Screen Recorder: Do you want to cancel the installation?";

class CancelTest : public InstallTest, public ::testing::WithParamInterface<int> {
 protected:
  // Asks for the close at event point `at`, by Cancel or by the close box, and
  // answers `answer`.
  bool InstallCancellingAt(int at, int answer) {
    return Install([this, at, answer](int point) {
      if (point != at) return;
      headless::QueueBoxAnswer(answer);
      const bool asked = at % 2 ? Press("Command3") : headless::PressCloseBox(Wizard());
      EXPECT_TRUE(asked) << "Cancel or the close box was not live at event point " << at;
    });
  }
};

TEST_P(CancelTest, YesEndsTheSetupAndKeepsWhatWasWritten) {
  const int at = GetParam();
  ASSERT_TRUE(InstallCancellingAt(at, platform::kIdYes));
  ASSERT_EQ(Boxes(), std::vector<std::wstring>{kQuestion});
  EXPECT_EQ(headless::ShownBoxes()[0].style, 0x1124u);
  EXPECT_EQ(Wizard().Text(Form1::Label11), L"Temporary files are being deleted...");
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_FALSE(Exists(kStaging));

  // The pieces expanded before the event point stay; the rest never came.
  const int expanded = at - 1 < 8 ? at - 1 : 8;
  for (int i = 0; i < 8; ++i) {
    const auto& file = DemoFiles()[static_cast<std::size_t>(i)];
    if (i < expanded)
      EXPECT_EQ(Installed(file.installedName), file.bytes) << file.installedName;
    else
      EXPECT_FALSE(Installed(file.installedName)) << file.installedName;
  }
  // The registry step and the group's commands come before the last event point.
  const bool registered = at == kEventPoints;
  EXPECT_EQ(headless::RegistryKeyExists(RootKey::LocalMachine, kProductKey), registered);
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString").has_value(), registered);
  EXPECT_EQ(GroupLinks().size(), registered ? 4u : 0u);
}

TEST_P(CancelTest, NoLetsTheInstallationFinish) {
  const int at = GetParam();
  ASSERT_FALSE(InstallCancellingAt(at, platform::kIdNo));
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{kQuestion});
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(points_.size(), static_cast<std::size_t>(kEventPoints));
  for (const auto& file : DemoFiles())
    EXPECT_EQ(Installed(file.installedName), file.bytes) << file.installedName;
  EXPECT_EQ(Wizard().Text(Form1::Label11), kCompleted);
  EXPECT_FALSE(Exists(kStaging));
  EXPECT_EQ(GroupLinks().size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(EveryEventPoint, CancelTest, ::testing::Range(1, kEventPoints + 1));

}  // namespace
}  // namespace vxr::test
