// What the setup's windows share for the whole run: the wizard's page and the
// paths the wizard and the destination chooser read and write.
#pragma once

#include <cstdint>
#include <string>

#include "common/text.h"

namespace vxr {

// The current wizard page: 1 welcome, 2 licence, 3 destination, 4 finish.
inline std::uint8_t WizardPage = 0;
// The destination, without a trailing backslash; read it trimmed.
inline FixedText<256> InstallDir;
// The system's temporary directory, without a trailing backslash or blanks,
// whatever its length: the staging folder goes under it.
inline std::wstring TempDir;
// The Windows directory without a trailing backslash or blanks; only its
// drive ("C:") is used.
inline std::wstring WindowsDrive;

inline std::wstring WindowsDriveLetter() { return WindowsDrive.substr(0, 2); }
// The Windows drive followed by "\Program Files\Screen Recorder".
inline std::wstring DefaultInstallDir() { return WindowsDriveLetter() + L"\\Program Files\\Screen Recorder"; }

}  // namespace vxr
