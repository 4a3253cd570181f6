// Uninstall VXR: removes Tarvo's Screen Recorder as the setup installed it.
// Started from the installation (as the uninstall entry and the Start-menu
// item start it), it hands over to a copy of itself in the temporary folder,
// which can delete the installed "Uninstall VXR.exe" too (launch.h).
#include <windows.h>

#include <string>

#include "tools/demo/uninstaller/launch.h"
#include "tools/demo/uninstaller/removal.h"
#include "tools/demo/uninstaller/temporary_copy.h"
#include "tools/demo/uninstaller/win32_system.h"

// Whoever looks into the file learns what it is, as with the demo's other
// files. Nothing reads it: the build keeps it by name.
extern "C" {
extern const char vxr_uninstaller_about[];
const char vxr_uninstaller_about[] = "Uninstall VXR: the uninstaller of the VXR Setup DEMO package";
}

namespace {

std::wstring ModulePath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace vxr::uninstaller;
  std::wstring original;
  if (const auto copy = ParseCopyArguments(GetCommandLineW())) {
    WaitForOriginal(copy->originalProcess);
    original = copy->originalPath;
  } else {
    original = ModulePath();
    // Where no copy can run, this one goes on and its own file stays, named in the last box.
    if (StartTemporaryCopy(original)) return 0;
  }
  Win32System system;
  return static_cast<int>(Uninstall(system, FolderOf(original)));
}
