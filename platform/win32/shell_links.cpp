// The Programs folder through the shell, links through IShellLinkW and
// IPersistFile, as the shell's own Program Manager service makes them.
#include "platform/shell_links.h"

#include <windows.h>
// The COM and shell headers need the types of windows.h.
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

using win32::ComPtr;

// COM for this thread, for as long as the link is being made.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    // RPC_E_CHANGED_MODE: COM was already up in another mode and isn't ours to end.
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

DosError FromHresult(HRESULT result) {
  if (SUCCEEDED(result)) return kErrorSuccess;
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
  return 31;  // ERROR_GEN_FAILURE
}

}  // namespace

std::wstring ProgramsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(
          SHGetFolderPathW(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  std::wstring folder(path);
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

DosError CreateShellLink(std::wstring_view linkPath, std::wstring_view target, std::wstring_view arguments) {
  const ComScope com;
  ComPtr<IShellLinkW> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(link.Put()));
  if (FAILED(result)) return FromHresult(result);

  const std::wstring targetText(target), argumentText(arguments);
  // The program starts in its own folder, as items made by Program Manager do.
  const auto separator = target.find_last_of(L'\\');
  const std::wstring folder(separator == std::wstring_view::npos ? std::wstring_view{}
                                                                 : target.substr(0, separator));
  result = link.Get()->SetPath(targetText.c_str());
  if (SUCCEEDED(result)) result = link.Get()->SetArguments(argumentText.c_str());
  if (SUCCEEDED(result) && !folder.empty()) result = link.Get()->SetWorkingDirectory(folder.c_str());
  if (FAILED(result)) return FromHresult(result);

  ComPtr<IPersistFile> file;
  result = link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()));
  if (FAILED(result)) return FromHresult(result);
  const std::wstring path(linkPath);
  return FromHresult(file.Get()->Save(path.c_str(), TRUE));
}

}  // namespace platform
