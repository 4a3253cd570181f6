// File-system operations on whole paths. Paths are Windows paths ("C:\x\y").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Windows' (DOS) error codes, as GetLastError gives them; 0 is success.
using DosError = std::uint32_t;
inline constexpr DosError kErrorSuccess = 0;
inline constexpr DosError kErrorFileNotFound = 2;
inline constexpr DosError kErrorPathNotFound = 3;
inline constexpr DosError kErrorTooManyOpenFiles = 4;
inline constexpr DosError kErrorAccessDenied = 5;
inline constexpr DosError kErrorNotEnoughMemory = 8;
inline constexpr DosError kErrorWriteProtect = 19;
inline constexpr DosError kErrorNotReady = 21;
inline constexpr DosError kErrorSharingViolation = 32;
inline constexpr DosError kErrorHandleDiskFull = 39;
inline constexpr DosError kErrorFileExists = 80;
inline constexpr DosError kErrorDiskFull = 112;
inline constexpr DosError kErrorInvalidName = 123;
inline constexpr DosError kErrorAlreadyExists = 183;

// A file or a directory of that name exists (a search with the directory
// attribute that finds something). Wildcards are not expanded.
bool PathExists(std::wstring_view path);

// An ordinary file of that name exists: read-only and archived files count,
// hidden and system files and directories don't.
bool NormalFileExists(std::wstring_view path);

// A file, not a directory, of that name exists, whatever its attributes.
bool FileExists(std::wstring_view path);

// Makes one directory level; the parent must exist. kErrorAlreadyExists when
// anything of that name is there, a link included: success means the caller
// made this directory itself.
DosError MakeDirectory(std::wstring_view path);

// Removes an empty directory.
DosError RemoveEmptyDirectory(std::wstring_view path);

// Deletes one file (a link itself, never what it points to).
DosError DeleteOneFile(std::wstring_view path);

// Gives the file `from` the name `to`, replacing a file of that name, and
// returns once the move is on the disk (MoveFileEx with REPLACE_EXISTING and
// WRITE_THROUGH). Either the move happens whole or nothing changes.
DosError MoveReplacing(std::wstring_view from, std::wstring_view to);

// The running program's own file, by its full path, whatever it is called.
std::wstring OwnExecutablePath();

}  // namespace platform
