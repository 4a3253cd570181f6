// Runs one registration step as the installation would, for the scripts that
// look at what it left in Wine's registry and Start menu.
//   registration_wine_step settings <install dir>
//   registration_wine_step group|isolated-group <install dir> <result file>
// "isolated-group" runs on a window station and desktop of its own, where no
// shell answers DDE: the way the step goes on a machine without Program Manager.
// The group run writes its result to a file because a program started inside
// Wine's shell desktop loses its exit code.
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include <string>

#include "common/install_ui.h"
#include "platform/dde.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"

namespace {

struct QuietUi final : vxr::InstallUi {
  void SetStatusLine(std::wstring_view text) override { status = text; }
  void RefreshWindow() override { ++refreshes; }
  std::wstring status;
  int refreshes = 0;
};

bool PutFile(const std::wstring& path, DWORD attributes, const std::string& text = "demo") {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only one from an earlier run
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE) return false;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
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

// The shell opens the new group's folder in a window of its own, as Windows'
// shell does; close it so that the shell desktop can end with this program.
BOOL CALLBACK CloseGroupWindow(HWND window, LPARAM closed) {
  wchar_t title[64] = {};
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() && IsWindowVisible(window) && GetWindowTextW(window, title, 64) &&
      std::wstring(title) == L"Screen Recorder") {
    PostMessageW(window, WM_CLOSE, 0, 0);
    ++*reinterpret_cast<int*>(closed);
  }
  return TRUE;
}

bool Isolate() {
  HWINSTA station = CreateWindowStationW(L"VxrNoShell", 0, WINSTA_ALL_ACCESS, nullptr);
  if (!station || !SetProcessWindowStation(station)) return false;
  HDESK desktop = CreateDesktopW(L"VxrNoShell", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  return desktop && SetThreadDesktop(desktop);
}

int CloseGroupWindows() {
  int closed = 0;
  for (int attempt = 0; attempt < 20 && closed == 0; ++attempt) {
    EnumWindows(&CloseGroupWindow, reinterpret_cast<LPARAM>(&closed));
    if (closed == 0) Sleep(100);
  }
  return closed;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring mode = argv[1], dir = argv[2];
  QuietUi ui;
  if (mode == L"settings") {
    vxr::WriteRegistrySettings(dir, ui);
    return ui.status == L"Registry settings are being done..." ? 0 : 1;
  }
  if ((mode != L"group" && mode != L"isolated-group") || argc < 4) return 2;
  const std::wstring result = argv[3];
  if (mode == L"isolated-group" && !Isolate()) {
    PutFile(result, FILE_ATTRIBUTE_NORMAL, "isolation failed\n");
    return 1;
  }
  if (!Prepare(dir)) {
    PutFile(result, FILE_ATTRIBUTE_NORMAL, "prepare failed\n");
    return 1;
  }
  // Whether a Program Manager answers here, for the script to know which way the items came.
  platform::DdeConversation probe;
  const bool progman = probe.Open(L"Progman", L"progman");
  probe.Close();
  vxr::CreateProgramGroup(dir, ui);
  const bool ok = ui.status == L"Shortcuts are being created..." && ui.refreshes == 2;
  if (progman) CloseGroupWindows();
  PutFile(result, FILE_ATTRIBUTE_NORMAL,
          std::string("progman=") + (progman ? "yes" : "no") + (ok ? " done\n" : " failed\n"));
  return ok ? 0 : 1;
}
