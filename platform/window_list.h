// The desktop's top-level windows, walked as GetWindow does it (GW_HWNDFIRST,
// then GW_HWNDNEXT), hidden windows and other programs' windows included, with
// their titles as the ANSI calls give them (GetWindowTextLengthA,
// GetWindowTextA). What a title means is the caller's business.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms.h"

namespace platform {

// A top-level window; 0 is none. Windows come and go while a walk runs: the
// calls below then answer as Windows does for a window that has gone (no
// title, no next window).
using WindowHandle = std::uintptr_t;

// GetWindow(GW_HWNDFIRST) on the form's own window: the first top-level window
// of the desktop. 0 when there is none.
WindowHandle FirstTopLevelWindow(const Form& from);
// GetWindow(GW_HWNDNEXT): the window after `window`; 0 after the last.
WindowHandle NextWindow(WindowHandle window);
// GetWindowTextLengthA: the title's length in characters, 0 without one.
int WindowTextLength(WindowHandle window);
// GetWindowTextA into a buffer of `maxCount` characters: the title, cut to
// maxCount - 1 characters (the call puts its NUL in the last place).
std::wstring WindowText(WindowHandle window, int maxCount);

}  // namespace platform
