// What the window services share inside the Windows platform: fonts, units
// and the program's own windows.
#pragma once

#include <windows.h>

#include "platform/forms.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;

struct ScreenDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { ReleaseDC(nullptr, dc); }
};
using ScreenDc = UniqueHandle<HDC, ScreenDcTraits>;

// The system's dialog font (the message font of NONCLIENTMETRICS); lives for the run.
HFONT DialogFont();

// Screen pixels per logical inch, horizontally and vertically.
int LogPixelsX();
int LogPixelsY();

// True for a top-level window of one of our forms or dialogs, whose keyboard
// navigation IsDialogMessage should handle.
bool IsNavigableWindow(HWND window);

// The form's top-level window; null before it is created and after it closed.
HWND WindowOf(const Form& form);

// The window a message box or input box of ours should belong to: the active
// window of our thread, else the last form shown that is in use; never the
// backdrop, which must not be disabled or brought forward.
HWND OwnerForBox();

}  // namespace platform::win32
