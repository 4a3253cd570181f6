// Each call is the plain Win32 one; what is Windows' own behaviour (case,
// attributes, views) stays Windows'.
#include "tools/demo/uninstaller/win32_system.h"

#include <windows.h>
// After windows.h.
#include <shlobj.h>

namespace vxr::uninstaller {

namespace {

// Keys are opened in the 32-bit view whatever this program is built as: the
// setup, a 32-bit program, writes there (Wow6432Node on 64-bit Windows).
constexpr REGSAM kView = KEY_WOW64_32KEY;

class OpenKey {
 public:
  OpenKey(std::wstring_view path, REGSAM access) {
    error_ = static_cast<Error>(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, std::wstring(path).c_str(), 0, access | kView, &key_));
    if (error_ != kSuccess) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  HKEY get() const { return key_; }
  Error error() const { return error_; }

 private:
  HKEY key_ = nullptr;
  Error error_ = kSuccess;
};

std::wstring Text(std::wstring_view text) { return std::wstring(text); }

}  // namespace

PathKind Win32System::Kind(std::wstring_view path) {
  const DWORD attributes = GetFileAttributesW(Text(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

Error Win32System::RemoveFile(std::wstring_view path) {
  const std::wstring file = Text(path);
  if (DeleteFileW(file.c_str())) return kSuccess;
  Error error = GetLastError();
  // A read-only file is refused; uninstallers take the attribute off first.
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(file.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (DeleteFileW(file.c_str())) return kSuccess;
    error = GetLastError();
    SetFileAttributesW(file.c_str(), attributes);
  }
  return error;
}

Error Win32System::RemoveFolder(std::wstring_view path) {
  return RemoveDirectoryW(Text(path).c_str()) ? kSuccess : static_cast<Error>(GetLastError());
}

bool Win32System::FolderIsEmpty(std::wstring_view path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Text(path) + L"\\*").c_str(), &found);
  // A folder that cannot be listed shows nothing that could be kept.
  if (search == INVALID_HANDLE_VALUE) return true;
  bool empty = true;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && FindNextFileW(search, &found));
  FindClose(search);
  return empty;
}

std::vector<std::wstring> Win32System::ProgramsFolders() {
  std::vector<std::wstring> folders;
  for (const int folder : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0]) continue;
    bool known = false;
    for (const std::wstring& other : folders) known = known || lstrcmpiW(other.c_str(), path) == 0;
    if (!known) folders.emplace_back(path);
  }
  return folders;
}

bool Win32System::KeyExists(std::wstring_view key) {
  const OpenKey opened(key, KEY_READ);
  return opened.error() != ERROR_FILE_NOT_FOUND && opened.error() != ERROR_PATH_NOT_FOUND;
}

std::optional<std::wstring> Win32System::ReadText(std::wstring_view key, std::wstring_view name) {
  const OpenKey opened(key, KEY_QUERY_VALUE);
  if (!opened.get()) return std::nullopt;
  const std::wstring valueName = Text(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                       &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  // The setup stores texts without their NUL; a stored one ends the text too.
  text.resize(bytes / sizeof(wchar_t));
  const auto nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

std::vector<std::wstring> Win32System::SubKeys(std::wstring_view key) {
  std::vector<std::wstring> names;
  const OpenKey opened(key, KEY_ENUMERATE_SUB_KEYS);
  if (!opened.get()) return names;
  // Key names are at most 255 characters.
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = 256;
    if (RegEnumKeyExW(opened.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  return names;
}

bool Win32System::HasValues(std::wstring_view key) {
  const OpenKey opened(key, KEY_QUERY_VALUE);
  DWORD values = 0;
  if (!opened.get() || RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return values > 0;
}

Error Win32System::RemoveKey(std::wstring_view key) {
  const std::wstring path = Text(key);
  // RegDeleteKeyExW picks the view; Windows without it (32-bit XP) has only one.
  using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
  const auto deleteKeyEx = reinterpret_cast<DeleteKeyEx>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW")));
  if (deleteKeyEx) return static_cast<Error>(deleteKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), kView, 0));
  return static_cast<Error>(RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str()));
}

namespace {
BOOL CALLBACK CollectTitle(HWND window, LPARAM list) {
  wchar_t title[256];
  const int length = GetWindowTextW(window, title, 256);
  if (length > 0) reinterpret_cast<std::vector<std::wstring>*>(list)->emplace_back(title, length);
  return TRUE;
}
}  // namespace

std::vector<std::wstring> Win32System::WindowTitles() {
  std::vector<std::wstring> titles;
  EnumWindows(CollectTitle, reinterpret_cast<LPARAM>(&titles));
  return titles;
}

int Win32System::ShowBox(std::wstring_view text, std::uint32_t style) {
  // No window of its own: the box comes to the front, as the one thing the user sees.
  return MessageBoxW(nullptr, Text(text).c_str(), kBoxTitle, style | MB_SETFOREGROUND);
}

}  // namespace vxr::uninstaller
