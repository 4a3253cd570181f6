// The Start menu's Programs folder and shell links (.lnk files).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace platform {

// The current user's Programs folder of the Start menu, without a trailing
// backslash; empty when the system cannot tell.
std::wstring ProgramsFolder();

// Writes a shell link at `linkPath` (a full path ending in ".lnk") that starts
// `target` with `arguments`. An existing link of that name is replaced.
DosError CreateShellLink(std::wstring_view linkPath, std::wstring_view target, std::wstring_view arguments);

}  // namespace platform
