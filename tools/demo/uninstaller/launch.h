// How the uninstaller was started. A program cannot delete its own file while
// it runs, so the uninstaller started from the installation runs a copy of
// itself from the temporary folder and ends; the copy waits for it to end,
// removes the installation (its file included) and is deleted by the system
// when it ends. These are the copy's command line and the folder it works on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vxr::uninstaller {

struct CopyArguments {
  std::uintptr_t originalProcess = 0;  // an inherited handle the copy waits on
  std::wstring originalPath;           // the uninstaller in the installation
};

// "COPY" /original HANDLE "ORIGINAL"
std::wstring CopyCommandLine(std::wstring_view copyPath, const CopyArguments& arguments);
// Nothing unless the command line is one CopyCommandLine made.
std::optional<CopyArguments> ParseCopyArguments(std::wstring_view commandLine);

// The folder of a file's full path: "C:\a\b.exe" gives "C:\a", "C:\b.exe" gives "C:\".
std::wstring FolderOf(std::wstring_view path);

}  // namespace vxr::uninstaller
