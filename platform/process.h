// Starting other programs.
#pragma once

#include <string_view>

#include "platform/files.h"

namespace platform {

inline constexpr DosError kErrorBadExeFormat = 193;

struct ProgramStart {
  DosError error = kErrorSuccess;  // why nothing was started; 0 when it was
  bool byDesktopShell = false;     // the desktop shell's process started it
};

// Starts the program file `programFile` (a full path, no arguments) in a
// normal window that takes the focus, with `directory` as its current folder,
// without waiting for it, and with the signed-in user's ordinary rights rather
// than this program's (which may be raised to an administrator's): the desktop
// shell's own process starts it where a desktop shell answers; elsewhere this
// program starts it itself. A file that is missing (kErrorFileNotFound) or is
// no Windows program (kErrorBadExeFormat) is refused before anything is started,
// since the shell would only report that in a box of its own.
ProgramStart StartProgramAsUser(std::wstring_view programFile, std::wstring_view directory);

// What StartProgramAsUser falls back on: the program file started from here,
// with this program's rights, in a normal window with the focus, without
// waiting. The result is the Windows error, 0 when it started.
DosError StartProgramFile(std::wstring_view programFile, std::wstring_view directory);

}  // namespace platform
