// The setup's start-up procedure and its windows; the state they share is
// in common/setup_state.h.
#pragma once

#include "common/setup_state.h"

namespace vxr {

class Form1;
class Form2;
class Form3;

// Shows the backdrop, then the wizard; from then on events drive the program.
void Main();

// The windows, each created on first use and living for the whole run.
Form1& TheForm1();
Form2& TheForm2();
Form3& TheForm3();

// Tests start every run afresh: globals at their start values, no windows.
void ResetProgram();

}  // namespace vxr
