// The wizard's load handler: the path globals, the earlier installation's
// directory, the check for a running product, and the first page.
#include "common/text.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "registration/registry.h"
#include "wizard/form1.h"
#include "wizard/module1.h"
#include "wizard/running_product.h"

namespace vxr {

namespace {

// What the system reports, trimmed once here, without a trailing backslash.
std::wstring WithoutTrailingBackslash(std::wstring_view text) {
  text = Trim(text);
  if (EndsWith(text, L'\\')) text.remove_suffix(1);
  return std::wstring(text);
}

// The directory of an earlier installation, when the product's key names one
// that still exists; the default destination otherwise.
void ProposeInstallDir() {
  const SubKeyListing vendor = EnumRegSubKeys(RootKey::LocalMachine, L"Software\\Ambretton");
  if (vendor.IsList()) {
    for (const auto& name : vendor.names) {
      if (name != L"VXR") continue;  // exact: "vxr" is somebody else's key
      InstallDir =
          GetRegString(RootKey::LocalMachine, L"Software\\Ambretton\\VXR", L"Dizin", DefaultInstallDir());
      if (!platform::PathExists(InstallDir.Trimmed())) InstallDir = DefaultInstallDir();
      break;
    }
  } else {
    InstallDir = DefaultInstallDir();
  }
  if (InstallDir.Trimmed().empty()) InstallDir = DefaultInstallDir();
}

}  // namespace

void Form1::Form_Load() {
  WindowsDrive = WithoutTrailingBackslash(platform::WindowsFolder());
  // Whatever its length; a temporary folder that cannot be had, or is not
  // there, gives way to the Windows folder's own. The staging folder must
  // never land at the root of whatever drive is current.
  TempDir = WithoutTrailingBackslash(platform::TempFolder());
  if ((TempDir.empty() || !platform::PathExists(TempDir)) && !WindowsDrive.empty())
    TempDir = WindowsDrive + L"\\Temp";
  ProposeInstallDir();

  // The product must not run while its files are replaced. The box stands
  // over the backdrop alone: the wizard is not shown yet.
  while (ProductIsRunning(window_)) {
    const int answer = platform::ShowMessageBox(
        L"Tarvo's Screen Recorder is currently running, please close it before starting to install.\r\n\r\n"
        L"Press on OK button to continue...",
        platform::kBoxOkCancel, L"Screen Recorder");
    // Only OK scans again: a box that could not be shown must not turn this
    // into an endless loop.
    if (answer != platform::kIdOk) {
      // Finished, as far as the close handler goes: it ends the program
      // without asking whether to cancel.
      window_.SetText(Command2, kFinish);
      window_.Unload();
      return;
    }
  }

  WizardPage = 1;
  window_.SetPicture(Image1, window_.Icon());
  window_.SetText(Label10, InstallDir.Trimmed());
}

}  // namespace vxr
