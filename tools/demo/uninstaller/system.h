// What the uninstaller needs of Windows, in one narrow interface: the removal
// logic stays portable and runs on the host under test against a fake, and
// the real implementation (win32_system.cpp) is a thin layer over the calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vxr::uninstaller {

// Windows' error codes, as GetLastError and the registry calls give them.
using Error = std::uint32_t;
inline constexpr Error kSuccess = 0;
inline constexpr Error kErrorFileNotFound = 2;
inline constexpr Error kErrorAccessDenied = 5;
inline constexpr Error kErrorSharingViolation = 32;
inline constexpr Error kErrorDirNotEmpty = 145;

// Message box styles and answers, with Windows' values.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbRetryCancel = 0x5;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The title of every box the uninstaller shows.
inline constexpr wchar_t kBoxTitle[] = L"Tarvo's Screen Recorder - Uninstall";

enum class PathKind : std::uint8_t { Missing, File, Folder };

class System {
 public:
  // ---- Files; full Windows paths ("C:\a\b"), names matched without regard to case.
  virtual PathKind Kind(std::wstring_view path) = 0;
  // Deletes a file, read-only ones too.
  virtual Error RemoveFile(std::wstring_view path) = 0;
  // Removes a folder that holds nothing.
  virtual Error RemoveFolder(std::wstring_view path) = 0;
  virtual bool FolderIsEmpty(std::wstring_view path) = 0;
  // The Start menu's Programs folders a program group may be in: the user's
  // own and the one all users share, those the system knows.
  virtual std::vector<std::wstring> ProgramsFolders() = 0;

  // ---- HKEY_LOCAL_MACHINE as a 32-bit program sees it (on 64-bit Windows the
  // 32-bit view, where the setup writes); key paths below it.
  // A key that exists but may not be opened counts as existing.
  virtual bool KeyExists(std::wstring_view key) = 0;
  // A text value (REG_SZ or REG_EXPAND_SZ, unexpanded); nothing otherwise.
  virtual std::optional<std::wstring> ReadText(std::wstring_view key, std::wstring_view name) = 0;
  virtual std::vector<std::wstring> SubKeys(std::wstring_view key) = 0;
  virtual bool HasValues(std::wstring_view key) = 0;
  // Deletes a key that has no subkeys, with its values.
  virtual Error RemoveKey(std::wstring_view key) = 0;

  // ---- The desktop: every top-level window's title, hidden windows too.
  virtual std::vector<std::wstring> WindowTitles() = 0;
  // A modal message box with the uninstaller's title; the button pressed.
  virtual int ShowBox(std::wstring_view text, std::uint32_t style) = 0;

 protected:
  ~System() = default;
};

}  // namespace vxr::uninstaller
