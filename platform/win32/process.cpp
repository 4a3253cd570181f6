#include "platform/process.h"

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {
struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using KernelHandle = win32::UniqueHandle<HANDLE, KernelHandleTraits>;
}  // namespace

bool StartProgram(std::wstring_view commandLine) {
  // CreateProcessW may write into the command line: it gets a copy of its own.
  std::wstring line(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  // Nobody waits for it.
  const KernelHandle process(started.hProcess), thread(started.hThread);
  return true;
}

}  // namespace platform
