#include "platform/win32/list_controls.h"

#include <winnetwk.h>

#include <cstdlib>
#include <vector>

#include "platform/win32/error_mode.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// The name a drive's entry shows in brackets: a network drive's share, another
// drive's volume label. Diskettes are never asked: that would spin the drive or
// wait for a disk. Neither are drives whose share is gone, which can take long.
std::wstring DriveName(wchar_t letter) {
  const wchar_t device[] = {letter, L':', 0};
  const wchar_t root[] = {letter, L':', L'\\', 0};
  wchar_t name[MAX_PATH + 1]{};
  DWORD length = MAX_PATH + 1;
  switch (GetDriveTypeW(root)) {
    case DRIVE_REMOVABLE:
    case DRIVE_NO_ROOT_DIR: return {};
    case DRIVE_REMOTE:
      return WNetGetConnectionW(device, name, &length) == NO_ERROR ? std::wstring(name) : std::wstring();
    default: {
      const NoCriticalErrorBoxes quiet;
      if (!GetVolumeInformationW(root, name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
      return name;
    }
  }
}

std::wstring ItemText(HWND control, LRESULT item, UINT lengthMessage, UINT textMessage) {
  if (item < 0) return {};
  const LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(item), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(control, textMessage, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

LRESULT FindDriveEntry(HWND combo, wchar_t letter) {
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i)
    if (ItemText(combo, i, CB_GETLBTEXTLEN, CB_GETLBTEXT)[0] == letter) return i;
  return CB_ERR;
}

}  // namespace

bool IsDriveText(std::wstring_view text) {
  return text.size() >= 2 && text[1] == L':' &&
         (text.size() == 2 || (text.substr(2, 2) == L" [" && text.back() == L']'));
}

void FillDriveList(HWND combo, wchar_t letter) {
  SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    std::wstring item{static_cast<wchar_t>(L'a' + i), L':'};
    const std::wstring name = DriveName(static_cast<wchar_t>(L'A' + i));
    if (!name.empty()) item += L" [" + name + L"]";
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(FindDriveEntry(combo, Lower(letter))), 0);
  SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(combo, nullptr, TRUE);
}

std::wstring SelectDriveEntry(HWND combo, wchar_t letter) {
  letter = Lower(letter);
  if (letter < L'a' || letter > L'z') return {};
  LRESULT item = FindDriveEntry(combo, letter);
  if (item == CB_ERR) {
    FillDriveList(combo, letter);
    item = FindDriveEntry(combo, letter);
    if (item == CB_ERR) return {};
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  return ItemText(combo, item, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::wstring SelectedDriveEntry(HWND combo) {
  return ItemText(combo, SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::wstring ResolveFolder(std::wstring_view path) {
  // GetFullPathName completes "d:" from the drive's current folder.
  const std::wstring request(IsDriveText(path) ? path.substr(0, 2) : path);
  if (request.empty()) return {};
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(request.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring folder(full, length);
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  // Only drive paths: the list and the free space are read from the drive letter.
  if (folder.size() < 3 || folder[1] != L':' || folder[2] != L'\\') return {};
  // The letter as Windows writes full paths, whatever case "d:" was given in.
  if (folder[0] >= L'a' && folder[0] <= L'z') folder[0] = static_cast<wchar_t>(folder[0] - L'a' + L'A');
  const NoCriticalErrorBoxes quiet;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return folder;
}

std::wstring CurrentFolder() {
  wchar_t current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
  return length > 0 && length < MAX_PATH ? ResolveFolder(std::wstring_view(current, length)) : std::wstring();
}

void FillFolderList(HWND list, const std::wstring& folder) {
  if (folder.size() < 3) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  // The path's levels, one more indent each; item data is the length of the
  // path up to that level, so that opening it needs no parsing.
  std::wstring indent;
  std::size_t start = 0;
  for (std::size_t end = 3; start < folder.size(); end = folder.find(L'\\', end + 1)) {
    if (end == std::wstring::npos) end = folder.size();
    const std::wstring line = indent + folder.substr(start, end - start);
    const auto item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(end));
    start = end + (end == 3 ? 0 : 1);
    indent += L"  ";
    if (end == folder.size()) {
      SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
      break;
    }
  }
  // Subfolders, as a person browsing would see them: hidden and system ones
  // left out, sorted whatever order the file system keeps.
  std::vector<std::wstring> names;
  const std::wstring pattern = folder + (folder.back() == L'\\' ? L"*" : L"\\*");
  WIN32_FIND_DATAW found;
  {
    const NoCriticalErrorBoxes quiet;
    const FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (search) {
      do {
        const std::wstring_view name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        names.emplace_back(name);
      } while (FindNextFileW(search.Get(), &found));
    }
  }
  // The C library's qsort: std::sort's instantiation would weigh more than the list.
  std::vector<const wchar_t*> order;
  order.reserve(names.size());
  for (const auto& name : names) order.push_back(name.c_str());
  std::qsort(order.data(), order.size(), sizeof(const wchar_t*), [](const void* a, const void* b) {
    return lstrcmpiW(*static_cast<const wchar_t* const*>(a), *static_cast<const wchar_t* const*>(b));
  });
  for (const wchar_t* name : order) {
    const std::wstring line = indent + name;
    const auto item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), -1);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

std::wstring FolderOfItem(HWND list, const std::wstring& folder, LRESULT item) {
  if (item < 0) return {};
  const auto data = SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(item), 0);
  if (data >= 0) return folder.substr(0, static_cast<std::size_t>(data));
  std::wstring name = ItemText(list, item, LB_GETTEXTLEN, LB_GETTEXT);
  name.erase(0, name.find_first_not_of(L' '));
  if (name.empty()) return {};
  return folder + (folder.back() == L'\\' ? L"" : L"\\") + name;
}

}  // namespace platform::win32
