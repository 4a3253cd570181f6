// The wizard's load handler: the path globals and the first page.
#include "common/text.h"
#include "platform/system_info.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr {

namespace {
// What the system reports, without a trailing backslash.
std::wstring WithoutTrailingBackslash(std::wstring text) {
  if (EndsWith(Trim(text), L'\\')) text = std::wstring(Trim(text).substr(0, Trim(text).size() - 1));
  return text;
}
constexpr std::uint32_t kPathBuffer = 145;
}  // namespace

void Form1::Form_Load() {
  TempDir = WithoutTrailingBackslash(platform::TempPath(kPathBuffer));
  WindowsDrive = WithoutTrailingBackslash(platform::WindowsDirectory(kPathBuffer));

  // An earlier installation's directory is proposed once the registry is read;
  // until then every run proposes the default.
  if (InstallDir.Trimmed().empty()) InstallDir = DefaultInstallDir();

  WizardPage = 1;
  window_.SetPicture(Image1, window_.Icon());
  window_.SetText(Label10, InstallDir.Trimmed());
}

}  // namespace vxr
