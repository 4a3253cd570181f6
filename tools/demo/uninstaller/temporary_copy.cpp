#include "tools/demo/uninstaller/temporary_copy.h"

#include <windows.h>

#include "tools/demo/uninstaller/launch.h"

namespace vxr::uninstaller {

namespace {

// The original ends right after starting the copy; this only bounds a wait
// that should never be long.
constexpr DWORD kOriginalEndMilliseconds = 60000;

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~Handle() {
    if (handle_) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* put() { return &handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool StartTemporaryCopy(const std::wstring& self) {
  wchar_t tempDir[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, tempDir);
  if (length == 0 || length > MAX_PATH) return false;
  // A name of its own, made as an empty file that the copy then fills.
  wchar_t copy[MAX_PATH] = {};
  if (!GetTempFileNameW(tempDir, L"vxu", 0, copy)) return false;
  if (!CopyFileW(self.c_str(), copy, FALSE)) {
    DeleteFileW(copy);
    return false;
  }

  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  // Shared for reading and deletion, so that the system can still load the copy.
  const Handle file(CreateFileW(copy, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable,
                                OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file.get()) {
    DeleteFileW(copy);
    return false;
  }
  Handle process;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), process.put(),
                       SYNCHRONIZE, TRUE, 0))
    return false;

  std::wstring commandLine = CopyCommandLine(copy, {reinterpret_cast<std::uintptr_t>(process.get()), self});
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  // The copy works in the temporary folder: a current folder inside the
  // installation would keep that folder from being removed.
  if (!CreateProcessW(copy, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, tempDir, &startup,
                      &started))
    return false;
  // The copy's boxes may come to the front although this process started it.
  AllowSetForegroundWindow(started.dwProcessId);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

void WaitForOriginal(std::uintptr_t processHandle) {
  const HANDLE process = reinterpret_cast<HANDLE>(processHandle);
  WaitForSingleObject(process, kOriginalEndMilliseconds);
  CloseHandle(process);
}

}  // namespace vxr::uninstaller
