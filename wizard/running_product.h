// Whether Tarvo's Screen Recorder is running: both of its windows, the main
// window and the settings window, are among the desktop's top-level windows.
#pragma once

#include <string>

#include "platform/forms.h"
#include "platform/window_list.h"

namespace vxr {

// The product's main window has one of two titles; the settings window one.
inline constexpr const wchar_t* kProductMainTitles[] = {L"Tarvo's Screen Recorder", L"VXR"};
inline constexpr const wchar_t* kProductSettingsTitle = L"Screen Recorder Settings";

// A window's title as the check compares it: read into a buffer of 128 blanks
// (a longer title is cut short), trimmed, without the call's final NUL.
std::wstring ReadWindowTitle(platform::WindowHandle window);

// Walks every top-level window from `from`'s own, hidden ones included;
// titles must match exactly.
bool ProductIsRunning(const platform::Form& from);

}  // namespace vxr
