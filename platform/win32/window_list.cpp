#include "platform/window_list.h"

#include <windows.h>

#include <string>

#include "platform/win32/gui.h"
#include "platform/win32/win32_text.h"

namespace platform {

namespace {
HWND AsWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle AsHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }
}  // namespace

WindowHandle FirstTopLevelWindow(const Form& from) {
  // Before the form has a window of its own the desktop's first child is the
  // same first top-level window.
  HWND own = win32::WindowOf(from);
  return AsHandle(own ? GetWindow(own, GW_HWNDFIRST) : GetWindow(GetDesktopWindow(), GW_CHILD));
}

WindowHandle NextWindow(WindowHandle window) { return AsHandle(GetWindow(AsWindow(window), GW_HWNDNEXT)); }

int WindowTextLength(WindowHandle window) { return GetWindowTextLengthA(AsWindow(window)); }

std::wstring WindowText(WindowHandle window, int maxCount) {
  if (maxCount < 1) return {};
  std::string buffer(static_cast<std::size_t>(maxCount), '\0');
  const int copied = GetWindowTextA(AsWindow(window), buffer.data(), maxCount);
  buffer.resize(copied > 0 && copied < maxCount ? static_cast<std::size_t>(copied) : 0);
  return win32::ToWide(buffer, CP_ACP);
}

}  // namespace platform
