// The setup's globals and its start-up procedure.
#pragma once

#include <cstdint>
#include <string>

#include "common/text.h"

namespace vxr {

class Form1;
class Form2;
class Form3;

// The current wizard page: 1 welcome, 2 licence, 3 destination, 4 finish.
extern std::uint8_t WizardPage;
// The destination, without a trailing backslash; read it trimmed.
extern FixedText<256> InstallDir;
// The system's temporary directory, without a trailing backslash, whatever
// its length: the staging folder goes under it.
extern std::wstring TempDir;
// The Windows directory without a trailing backslash; only its drive is used.
extern std::wstring WindowsDrive;

// The Windows drive followed by "\Program Files\Screen Recorder".
std::wstring DefaultInstallDir();

// Shows the backdrop, then the wizard; from then on events drive the program.
void Main();

// The windows, each created on first use and living for the whole run.
Form1& TheForm1();
Form2& TheForm2();
Form3& TheForm3();

// Tests start every run afresh: globals at their start values, no windows.
void ResetProgram();

}  // namespace vxr
