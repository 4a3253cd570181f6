// Installs the product the way the install sequence does, without the wizard:
// the eight files (small placeholders, which the test replaces with the demo's
// programs where it runs them), then the setup's own registry and program-group
// steps. For the uninstaller's tests that need many quick installations.
//   hand_install "<install dir>"
// Prints "progman=yes" or "progman=no": whether Program Manager made the group.
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "common/install_ui.h"
#include "platform/dde.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"
#include "tools/vxrpack/package.h"

namespace {

class QuietUi final : public vxr::InstallUi {
 public:
  void SetStatusLine(std::wstring_view) override {}
  void RefreshWindow() override {}
};

bool PutFile(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, "demo", 4, &written, nullptr) && written == 4;
  CloseHandle(file);
  return ok;
}

// Wine's Program Manager opens a new group's folder in a window, as Windows'
// shell does; a person closes it, and so does this.
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

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 2) return 2;
  const std::wstring dir = argv[1];
  for (std::size_t sep = dir.find(L'\\', 3); sep != std::wstring::npos; sep = dir.find(L'\\', sep + 1))
    CreateDirectoryW(dir.substr(0, sep).c_str(), nullptr);
  CreateDirectoryW(dir.c_str(), nullptr);
  for (const std::string_view name : vxr::pack::kProductFiles)
    if (!PutFile(dir + L"\\" + std::wstring(name.begin(), name.end()))) return 1;

  QuietUi ui;
  vxr::WriteRegistrySettings(dir, ui);
  platform::DdeConversation probe;
  const bool progman = probe.Open(L"Progman", L"progman");
  probe.Close();
  vxr::CreateProgramGroup(dir, ui);
  if (progman) {
    int closed = 0;
    for (int attempt = 0; attempt < 50 && closed == 0; ++attempt) {
      EnumWindows(&CloseGroupWindow, reinterpret_cast<LPARAM>(&closed));
      if (closed == 0) Sleep(100);
    }
  }
  std::printf("progman=%s\n", progman ? "yes" : "no");
  return 0;
}
