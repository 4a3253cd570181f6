#include "platform/files.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

using win32::FindHandle;

bool HasWildcard(std::wstring_view path) { return path.find_first_of(L"*?") != std::wstring_view::npos; }

bool IsRoot(std::wstring_view path) {
  return (path.size() == 2 || (path.size() == 3 && (path[2] == L'\\' || path[2] == L'/'))) && path[1] == L':';
}

// The attributes of what a directory search finds under exactly that name.
// A root has no entry of its own to find, so it is asked for its attributes.
bool FindExact(std::wstring_view path, DWORD& attributes) {
  if (path.empty() || HasWildcard(path)) return false;
  std::wstring name(path);
  if (IsRoot(name)) {
    if (name.size() == 2) name += L'\\';
    attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/')) name.pop_back();
  WIN32_FIND_DATAW found;
  const FindHandle search(FindFirstFileW(name.c_str(), &found));
  if (!search) return false;
  attributes = found.dwFileAttributes;
  return true;
}

DosError Result(BOOL ok) { return ok ? kErrorSuccess : GetLastError(); }

}  // namespace

bool PathExists(std::wstring_view path) {
  DWORD attributes = 0;
  return FindExact(path, attributes);
}

bool FileExists(std::wstring_view path) {
  // Asked of the file itself, not found by a directory search: Wine reads the
  // whole folder for a search.
  if (path.empty() || HasWildcard(path)) return false;
  const DWORD attributes = GetFileAttributesW(std::wstring(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool NormalFileExists(std::wstring_view path) {
  DWORD attributes = 0;
  return FindExact(path, attributes) &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

DosError MakeDirectory(std::wstring_view path) {
  return Result(CreateDirectoryW(std::wstring(path).c_str(), nullptr));
}

DosError RemoveEmptyDirectory(std::wstring_view path) {
  return Result(RemoveDirectoryW(std::wstring(path).c_str()));
}

DosError DeleteOneFile(std::wstring_view path) { return Result(DeleteFileW(std::wstring(path).c_str())); }

DosError MoveReplacing(std::wstring_view from, std::wstring_view to) {
  return Result(MoveFileExW(std::wstring(from).c_str(), std::wstring(to).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

std::wstring OwnExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: ask again with room
  }
}

}  // namespace platform
