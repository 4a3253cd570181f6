// The drive list (a drop-down combo box of every drive) and the folder list (a
// list box that shows the open folder's path one level a line, then its
// subfolders), as the forms use them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// "d:" or "d: [name]", as the drive list gives it.
bool IsDriveText(std::wstring_view text);

// Fills the drive list afresh and selects `letter`'s entry, if there is one.
void FillDriveList(HWND combo, wchar_t letter);
// Selects `letter`'s entry, filling the list afresh if that drive has come
// since; the entry's text, or empty when there is no such drive.
std::wstring SelectDriveEntry(HWND combo, wchar_t letter);
// The selected entry's text, or empty.
std::wstring SelectedDriveEntry(HWND combo);

// The folder a path or drive text names, as the folder list shows it: absolute,
// a "\" at the end only at a root; a drive text stands for the drive's current
// folder. Empty when that is not a folder on a drive that can be read.
std::wstring ResolveFolder(std::wstring_view path);
// The current directory, as ResolveFolder gives it.
std::wstring CurrentFolder();
// Shows `folder`: its path one level a line, the open folder selected, then its
// subfolders in alphabetical order.
void FillFolderList(HWND list, const std::wstring& folder);
// The folder that `item` of the list stands for; empty when none.
std::wstring FolderOfItem(HWND list, const std::wstring& folder, LRESULT item);

}  // namespace platform::win32
