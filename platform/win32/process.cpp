#include "platform/process.h"

#include <windows.h>
// After windows.h.
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {
using win32::ComPtr;
using win32::KernelHandle;

struct BstrTraits {
  static BSTR Invalid() { return nullptr; }
  static void Close(BSTR text) { SysFreeString(text); }
};
using Bstr = win32::UniqueHandle<BSTR, BstrTraits>;

// A VARIANT that clears what it holds.
struct Variant {
  VARIANT value;
  Variant() { VariantInit(&value); }
  explicit Variant(long number) : Variant() {
    value.vt = VT_I4;
    value.lVal = number;
  }
  explicit Variant(const std::wstring& text) : Variant() {
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~Variant() { VariantClear(&value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// COM for this thread, for as long as the object lives; a thread that already
// has it keeps it as it was.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

template <typename Interface>
ComPtr<Interface> Query(IUnknown* object, REFIID iid) {
  ComPtr<Interface> result;
  if (object) object->QueryInterface(iid, reinterpret_cast<void**>(result.Put()));
  return result;
}

// Asks the desktop shell's process to start the program, so that it runs with
// the shell's rights, the signed-in user's, and not with this program's: the
// desktop window's shell view gives the shell's automation object, whose
// ShellExecute runs inside the shell. False when no desktop shell answers.
bool StartThroughDesktopShell(const std::wstring& programFile, const std::wstring& directory) {
  const ComApartment com;
  ComPtr<IShellWindows> shellWindows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              reinterpret_cast<void**>(shellWindows.Put()))))
    return false;
  Variant desktop(static_cast<long>(CSIDL_DESKTOP));
  Variant none;
  long shellWindow = 0;
  ComPtr<IDispatch> desktopBrowser;
  if (shellWindows.Get()->FindWindowSW(&desktop.value, &none.value, SWC_DESKTOP, &shellWindow,
                                       SWFO_NEEDDISPATCH, desktopBrowser.Put()) != S_OK)
    return false;
  auto services = Query<IServiceProvider>(desktopBrowser.Get(), IID_IServiceProvider);
  ComPtr<IShellBrowser> browser;
  if (!services || FAILED(services.Get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                                       reinterpret_cast<void**>(browser.Put()))))
    return false;
  ComPtr<IShellView> view;
  if (FAILED(browser.Get()->QueryActiveShellView(view.Put())) || !view) return false;
  ComPtr<IDispatch> background;
  if (FAILED(view.Get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                       reinterpret_cast<void**>(background.Put()))))
    return false;
  auto folderView = Query<IShellFolderViewDual>(background.Get(), IID_IShellFolderViewDual);
  ComPtr<IDispatch> application;
  if (!folderView || FAILED(folderView.Get()->get_Application(application.Put()))) return false;
  auto shell = Query<IShellDispatch2>(application.Get(), IID_IShellDispatch2);
  if (!shell) return false;

  // The shell may hand the foreground on to the program it starts, as it
  // would for a program started from its own Start menu.
  DWORD shellProcess = 0;
  if (GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<LONG_PTR>(shellWindow)), &shellProcess))
    AllowSetForegroundWindow(shellProcess);
  const Bstr file(SysAllocStringLen(programFile.data(), static_cast<UINT>(programFile.size())));
  if (!file) return false;
  Variant arguments(std::wstring{}), folder(directory), operation(std::wstring(L"open"));
  Variant show(static_cast<long>(SW_SHOWNORMAL));
  return SUCCEEDED(
      shell.Get()->ShellExecute(file.Get(), arguments.value, folder.value, operation.value, show.value));
}

// Whether the file is there and is a program Windows can start.
DosError CheckProgramFile(const std::wstring& programFile) {
  const DWORD attributes = GetFileAttributesW(programFile.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_PATH_NOT_FOUND ? kErrorPathNotFound : kErrorFileNotFound;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kErrorFileNotFound;
  DWORD kind = 0;
  if (!GetBinaryTypeW(programFile.c_str(), &kind) || (kind != SCS_32BIT_BINARY && kind != SCS_64BIT_BINARY))
    return kErrorBadExeFormat;
  return kErrorSuccess;
}

}  // namespace

ProgramStart StartProgramAsUser(std::wstring_view programFile, std::wstring_view directory) {
  const std::wstring file(programFile), folder(directory);
  ProgramStart result;
  result.error = CheckProgramFile(file);
  if (result.error != kErrorSuccess) return result;
  if (StartThroughDesktopShell(file, folder)) {
    result.byDesktopShell = true;
    return result;
  }
  result.error = StartProgramFile(file, folder);
  return result;
}

DosError StartProgramFile(std::wstring_view programFile, std::wstring_view directory) {
  // The file is named on its own, so that a path with blanks can't be taken
  // for a shorter program ("C:\Program.exe") followed by arguments.
  const std::wstring file(programFile), folder(directory);
  std::wstring line = L"\"" + file + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(file.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &started))
    return GetLastError();
  // Nobody waits for it.
  const KernelHandle process(started.hProcess), thread(started.hThread);
  return kErrorSuccess;
}

}  // namespace platform
