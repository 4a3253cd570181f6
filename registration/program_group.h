// The last registration step: the Start-menu group "Screen Recorder" and its
// items, asked of the shell's Program Manager over DDE. The group is this
// table: the DDE commands are written from it, the setup makes from it what
// Program Manager does not, and the step's outcome is read against it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/install_ui.h"

namespace vxr {

inline constexpr wchar_t kGroupName[] = L"Screen Recorder";

struct GroupItem {
  const wchar_t* name;       // the link's name in the group
  const wchar_t* file;       // what it starts, in the destination
  const wchar_t* arguments;  // after the quoted path; empty for none
  bool onlyWhenPresent;      // offered only when its file is in the destination
};
inline constexpr std::array<GroupItem, 4> kGroupItems = {{
    {L"Tarvo's Screen Recorder", L"Screen Recorder.exe", L"", false},
    {L"VXR Movie Studio", L"Screen Recorder.exe", L"/moviestudio", false},
    {L"Screen Recorder Help", L"VXR.chm", L"", true},
    {L"Uninstall Screen Recorder", L"Uninstall VXR.exe", L"", true},
}};

// How long each command may wait for Program Manager's acknowledgement.
inline constexpr std::uint32_t kProgmanWaitMilliseconds = 5000;

// The group's folder in the user's Programs folder; empty when the system
// cannot tell where that is.
std::wstring GroupFolder();

// `installDir` is the destination directory, trimmed. Commands Program Manager doesn't carry out (none
// answers, it refuses, or the wait runs out) are carried out by the setup
// itself. The result names the offered items whose links are not in the group
// afterwards: empty when the group is complete.
std::vector<std::wstring> CreateProgramGroup(std::wstring_view installDir, InstallUi& ui);

// The group as it stands before the step, so that a cancelled installation
// takes back only what the step added.
class GroupSnapshot {
 public:
  static GroupSnapshot Take();
  // Removes the links and the folder that were not there when taken, and
  // gives the links that were their earlier contents back; what could not be
  // set back comes back as lines for the user.
  std::vector<std::wstring> Restore() const;

 private:
  std::wstring folder_;
  bool folderExisted_ = true;
  // Each item's link as it was: nothing when there was none.
  std::array<std::optional<std::vector<std::uint8_t>>, kGroupItems.size()> links_;
  std::array<bool, kGroupItems.size()> kept_{};  // there, but unreadable: never touched
};

}  // namespace vxr
