// The uninstaller's system interface on Windows.
#pragma once

#include "tools/demo/uninstaller/system.h"

namespace vxr::uninstaller {

class Win32System final : public System {
 public:
  PathKind Kind(std::wstring_view path) override;
  Error RemoveFile(std::wstring_view path) override;
  Error RemoveFolder(std::wstring_view path) override;
  bool FolderIsEmpty(std::wstring_view path) override;
  std::vector<std::wstring> ProgramsFolders() override;
  bool KeyExists(std::wstring_view key) override;
  std::optional<std::wstring> ReadText(std::wstring_view key, std::wstring_view name) override;
  std::vector<std::wstring> SubKeys(std::wstring_view key) override;
  bool HasValues(std::wstring_view key) override;
  Error RemoveKey(std::wstring_view key) override;
  std::vector<std::wstring> WindowTitles() override;
  int ShowBox(std::wstring_view text, std::uint32_t style) override;
};

}  // namespace vxr::uninstaller
