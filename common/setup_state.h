// What the setup's windows share for the whole run: the wizard's page and the
// paths the wizard and the destination chooser read and write.
#pragma once

#include <cstdint>
#include <string>

#include "common/text.h"

namespace vxr {

// The current wizard page: 1 welcome, 2 licence, 3 destination, 4 finish.
extern std::uint8_t WizardPage;
// The destination, without a trailing backslash; read it trimmed.
extern FixedText<256> InstallDir;
// The system's temporary directory, without a trailing backslash or blanks,
// whatever its length: the staging folder goes under it.
extern std::wstring TempDir;
// The Windows directory without a trailing backslash or blanks; only its
// drive ("C:") is used.
extern std::wstring WindowsDrive;

std::wstring WindowsDriveLetter();
// The Windows drive followed by "\Program Files\Screen Recorder".
std::wstring DefaultInstallDir();

}  // namespace vxr
