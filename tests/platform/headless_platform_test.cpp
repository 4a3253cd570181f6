// The platform checks against the headless machine; the Wine tests run the
// same checks against Windows, so the headless imitation cannot drift.
#include "platform/headless/headless.h"
#include "tests/platform/files_checks.h"
#include "tests/platform/forms_checks.h"
#include "tests/support/test_machine.h"

namespace vxr::test {
namespace {

const FilesUnderTest kFiles{L"C:\\Scratch", headless::HostPath,
                            [](const std::wstring& path) { headless::SetHiddenOrSystem(path, true); }};

const FormsUnderTest kForms{[](platform::Form& form, platform::ControlId control) {
                              return headless::Click(form, form.Name(control));
                            },
                            [](platform::Form& form) { return headless::PressCloseBox(form); },
                            [](const wchar_t* caption) {
                              const platform::Form* form = headless::FindForm(caption);
                              return form && headless::IsShown(*form);
                            },
                            // The checks ask this only of enabled controls.
                            [](platform::Form& form, platform::ControlId control) {
                              return headless::CanPress(form, form.Name(control));
                            }};

class HeadlessPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { machine_.MakeFolders(kFiles.root); }
  TestMachine machine_;
  forms::Recorder events_{kForms};
  platform::Form form_{forms::kDesign, events_};
};

TEST_F(HeadlessPlatformTest, Files) {
  CheckExistence(kFiles);
  CheckFolders(kFiles);
  CheckRawFiles(kFiles);
}
TEST_F(HeadlessPlatformTest, LoadBeforeShow) { CheckLoadBeforeShow(kForms, form_, events_); }
TEST_F(HeadlessPlatformTest, Clicks) { CheckClicks(kForms, form_, events_); }
TEST_F(HeadlessPlatformTest, Closing) { CheckClosing(kForms, form_, events_); }

}  // namespace
}  // namespace vxr::test
