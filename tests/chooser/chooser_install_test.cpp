// The folder made and chosen in the chooser is where the installation goes.
#include "chooser/form3.h"
#include "registration/product_settings.h"
#include "tests/install/install_fixture.h"

namespace vxr::test {
namespace {

class ChooserInstallTest : public InstallTest {};

TEST_F(ChooserInstallTest, TheInstallationGoesIntoTheFolderChosenThere) {
  machine_.AddDrive(L'D');
  headless::SetFreeBytes(L'D', 1ull << 30);
  Start();
  GoToPage3();
  ASSERT_TRUE(Press("Command4"));
  platform::Form& chooser = TheForm3().Window();
  ASSERT_TRUE(headless::SelectDrive(chooser, "Drive1", L"d:"));
  headless::QueueInputAnswer(L"Recorder");
  ASSERT_TRUE(headless::Click(chooser, "Command1"));
  ASSERT_TRUE(headless::Click(chooser, "Command2"));
  ASSERT_EQ(Wizard().Text(Form1::Label10), L"D:\\Recorder");

  bool pressed = false;
  ASSERT_FALSE(headless::EndsProgram([&] { pressed = Press("Command2"); }));
  ASSERT_TRUE(pressed);
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});
  for (const auto& file : DemoFiles()) {
    const std::wstring name(file.installedName.begin(), file.installedName.end());
    const std::string bytes = machine_.ReadFile(L"D:\\Recorder\\" + name);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), file.bytes) << file.installedName;
  }
  EXPECT_EQ(RegistryText(kProductKey, L"Dizin"), "D:\\Recorder");
  EXPECT_FALSE(Exists(kDestination)) << "nothing goes to the default destination";
}

}  // namespace
}  // namespace vxr::test
