// The headless drive map as the headless services read it: which letters are
// drives, of what kind, with what medium, and what their current folders are.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/drive_type.h"

namespace headless {

struct DriveEntry {
  std::filesystem::path folder;  // the medium's contents on the host; empty: no medium
  std::uint32_t type = platform::kDriveFixed;
  std::wstring label;  // volume label, or a network drive's share name
  bool ready = true;
  std::optional<std::uint64_t> freeBytes;  // none: the host's own figure
  std::wstring currentFolder;              // empty: the root
};

// The drive of that letter (either case), or nullptr.
const DriveEntry* FindDrive(wchar_t letter);
// The lower-case letters of every drive, in order.
std::wstring DriveLetters();
// What a bare "d:" means: the drive's current folder, else its root.
std::wstring CurrentFolderOf(wchar_t letter);
// The current drive's current folder.
std::wstring CurrentDirectory();
// A folder path as the folder list keeps it: drive-relative and relative paths
// completed from the current folders (as GetFullPathName does), "." and ".."
// resolved, one backslash between names and none at the end but at a root,
// the drive letter in capitals.
std::wstring FullPath(std::wstring_view path);
// A folder of that name exists on a drive that is ready.
bool IsFolder(std::wstring_view windowsPath);

}  // namespace headless
