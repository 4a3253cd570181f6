// The last registration step: the Start-menu group "Screen Recorder" and its
// items, asked of the shell's Program Manager over DDE.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/install_ui.h"

namespace vxr {

// How long each command may wait for Program Manager's acknowledgement.
inline constexpr std::uint32_t kProgmanWaitMilliseconds = 5000;

// `installDir` is the destination directory as the wizard holds it; blanks at
// either end are dropped. Commands Program Manager doesn't carry out (none
// answers, it refuses, or the wait runs out) are carried out by the setup
// itself, so the installation always reaches its finished state.
void CreateProgramGroup(std::wstring_view installDir, InstallUi& ui);

}  // namespace vxr
