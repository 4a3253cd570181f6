// Runs the program-group step as the installation would, on a window station
// and desktop of its own, where no shell answers DDE: the way the step goes on
// a machine without Program Manager. (With one, as on Wine's own desktop, every
// installation of the e2e scripts takes it.)
//   registration_wine_step <install dir>
// Exit code: 0 done, 2 usage, 3 no desktop of its own, 4 the destination could
// not be prepared, 5 a Program Manager answered there.
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include <string>

#include "common/install_ui.h"
#include "platform/dde.h"
#include "registration/program_group.h"

namespace {

// What the step does to the wizard: the headless tests' business.
struct NoUi final : vxr::InstallUi {
  void SetStatusLine(std::wstring_view) override {}
  void RefreshWindow() override {}
};

bool PutFile(const std::wstring& path, DWORD attributes) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only one from an earlier run
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE) return false;
  WriteFile(file, "demo", 4, &written, nullptr);
  CloseHandle(file);
  return SetFileAttributesW(path.c_str(), attributes) != 0;
}

// The destination as the install sequence leaves it: the main program, the
// help file (read-only, as it may come) and the uninstaller (archived).
bool Prepare(const std::wstring& dir) {
  CreateDirectoryW(dir.c_str(), nullptr);  // in Program Files, which every prefix has
  return PutFile(dir + L"\\Screen Recorder.exe", FILE_ATTRIBUTE_NORMAL) &&
         PutFile(dir + L"\\VXR.chm", FILE_ATTRIBUTE_READONLY) &&
         PutFile(dir + L"\\Uninstall VXR.exe", FILE_ATTRIBUTE_ARCHIVE);
}

bool Isolate() {
  HWINSTA station = CreateWindowStationW(L"VxrNoShell", 0, WINSTA_ALL_ACCESS, nullptr);
  if (!station || !SetProcessWindowStation(station)) return false;
  HDESK desktop = CreateDesktopW(L"VxrNoShell", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  return desktop && SetThreadDesktop(desktop);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 2) return 2;
  const std::wstring dir = argv[1];
  if (!Isolate()) return 3;
  if (!Prepare(dir)) return 4;
  platform::DdeConversation probe;
  if (probe.Open(L"Progman", L"progman")) return 5;
  NoUi ui;
  vxr::CreateProgramGroup(dir, ui);
  return 0;
}
