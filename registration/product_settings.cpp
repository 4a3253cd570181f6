#include "registration/product_settings.h"

#include <string>

#include "registration/registry.h"

namespace vxr {

void WriteRegistrySettings(std::wstring_view installDir, InstallUi& ui) {
  constexpr RootKey kRoot = RootKey::LocalMachine;
  ui.SetStatusLine(L"Registry settings are being done...");

  CreateRegKey(kRoot, kProductKey);
  SaveRegString(kRoot, kProductKey, L"Dizin", installDir);
  SaveRegDWord(kRoot, kProductKey, L"Version", 10);
  SaveRegDWord(kRoot, kProductKey, L"IncCur", 1);
  // The product's own settings survive a reinstallation; only a missing,
  // mistyped or zero frame setting gets the default.
  if (GetRegDWord(kRoot, kProductKey, L"dwKFE", 0) == 0) SaveRegDWord(kRoot, kProductKey, L"dwKFE", 10);
  // Only a stored 70 is raised; every other rate is the user's and stays.
  if (GetRegDWord(kRoot, kProductKey, L"FullDesktopRate", 0) == 70)
    SaveRegDWord(kRoot, kProductKey, L"FullDesktopRate", 100);

  CreateRegKey(kRoot, kUninstallKey);
  SaveRegString(kRoot, kUninstallKey, L"DisplayName", L"Tarvo's Screen Recorder");
  // Windows runs this as a command line: unquoted, a path under "C:\Program
  // Files" would first be tried as "C:\Program.exe", with the rights of whoever
  // uninstalls.
  SaveRegString(kRoot, kUninstallKey, L"UninstallString",
                L"\"" + std::wstring(installDir) + L"\\Uninstall VXR.exe\"");
}

}  // namespace vxr
