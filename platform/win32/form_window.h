// A form as real windows: the form model with the windows that show it and
// what they draw with. Shared by form_window.cpp (window classes and
// creation), form_paint.cpp (painting and colours), form_proc.cpp (commands
// and the window procedure) and forms.cpp (the Form operations).
#pragma once

#include <windows.h>

#include <vector>

#include "platform/form_model.h"
#include "platform/forms.h"
#include "platform/win32/gui.h"

namespace platform::win32 {

// Child window ids start well above IDOK and IDCANCEL, which IsDialogMessage
// sends for Enter and Escape.
inline constexpr int kFirstChildId = 1000;
// A drop-down list's window includes its opened list.
inline constexpr int kDropDownPixels = 200;
// Posted to the backdrop when it was made active by mistake.
inline constexpr UINT kPassActivation = WM_APP + 1;

// Shapes, images and transparent labels have no window of their own: their
// container paints them, so a backdrop of a few hundred bands stays cheap.
bool PaintedByContainer(const ControlDesign& design);
// One of the program's icons at a square size; null for kNoIcon.
HICON LoadIconSized(IconId icon, int size);

// What an entry of the design's table draws with, made once for the entry
// and every copy of it.
struct DesignObjects {
  UniqueGdiObject font;   // only when the design names a font
  UniqueGdiObject brush;  // only when the design gives a back colour
};

struct FormWindow : FormModel {
  FormWindow(Form& form, const FormDesign& formDesign, FormEvents& formEvents)
      : FormModel(form, formDesign, formEvents), designObjects(formDesign.controls.size()) {}

  bool CreateWindows();
  void CreateControl(ControlId id);
  void DestroyWindows();
  void SetWindowIcon();
  void Paint(HWND container, ControlId containerId);
  LRESULT Colours(HWND container, HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  void Command(HWND child, int code);

  // None for the painted kinds, and none while the form has no window.
  HWND ChildWindow(ControlId id) const { return static_cast<HWND>(At(id).window); }
  DesignObjects& ObjectsOf(const ControlState& c) {
    return designObjects[static_cast<std::size_t>(c.design - design.controls.data())];
  }
  // The control whose window that is, or kNoControl.
  ControlId IdOf(HWND child) const {
    const int id = GetDlgCtrlID(child) - kFirstChildId;
    return id >= 0 && id < Count() && ChildWindow(id) == child ? id : kNoControl;
  }
  HWND ContainerWindow(ControlId id) const {
    const ControlId container = At(id).design->container;
    return container == kWindow ? window : ChildWindow(container);
  }
  RECT Pixels(TwipsRect r) const {
    return {MulDiv(r.left, logPixelsX, 1440), MulDiv(r.top, logPixelsY, 1440),
            MulDiv(r.left + r.width, logPixelsX, 1440), MulDiv(r.top + r.height, logPixelsY, 1440)};
  }
  void InvalidatePainted(ControlId id);
  // A control about to be disabled or hidden hands the keyboard focus on,
  // else the keyboard would be left with nothing to work.
  void MoveFocusFrom(HWND control);

  HWND window = nullptr;
  HWND owner = nullptr;  // the form this one stays in front of
  HWND lastFocus = nullptr;
  int logPixelsX = 96, logPixelsY = 96;
  std::vector<DesignObjects> designObjects;  // one per entry of the design's table
};

// Every form of this program is a FormWindow.
inline FormWindow& WindowsOf(FormModel& form) { return static_cast<FormWindow&>(form); }

// The window procedure of forms and of the panels and picture boxes in them.
LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::win32
