// Starting other programs.
#pragma once

#include <string_view>

namespace platform {

// Starts a program from a full command line in a normal window that takes the
// focus, without waiting for it. False when it could not be started.
bool StartProgram(std::wstring_view commandLine);

}  // namespace platform
