// What the windows of forms receive: controls' notifications raised as the
// form's events, closing, activation and focus; and which of our windows a
// box belongs to.
#include "platform/win32/form_window.h"
#include "platform/win32/list_controls.h"

namespace platform::win32 {

void FormWindow::Command(HWND child, int code) {
  const ControlId id = IdOf(child);
  if (id == kNoControl) return;
  ControlState& c = At(id);
  switch (c.design->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      if (code == BN_CLICKED) events.Click(id);
      break;
    case ControlKind::DriveList: {
      // While the list is dropped down the selection follows the arrow keys
      // only tentatively; it counts once the list has closed.
      if (code != CBN_CLOSEUP && (code != CBN_SELCHANGE || SendMessageW(child, CB_GETDROPPEDSTATE, 0, 0)))
        break;
      const std::wstring selected = SelectedDriveEntry(child);
      if (selected.empty() || (!c.drive.empty() && c.drive[0] == selected[0])) break;
      c.drive = selected;
      events.Change(id);
      break;
    }
    case ControlKind::FolderList: {
      if (code != LBN_DBLCLK) break;
      const std::wstring target =
          ResolveFolder(FolderOfItem(child, c.path, SendMessageW(child, LB_GETCURSEL, 0, 0)));
      if (target.empty()) break;
      c.path = target;
      FillFolderList(child, c.path);
      events.Change(id);
      break;
    }
    default: break;
  }
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form) return DefWindowProcW(window, message, wParam, lParam);
  const bool topLevel = window == form->window;
  const ControlId self = topLevel ? kWindow : form->IdOf(window);
  // A panel whose form is being torn down belongs to nobody any more.
  if (!topLevel && self == kNoControl) return DefWindowProcW(window, message, wParam, lParam);

  switch (message) {
    case WM_PAINT: form->Paint(window, self); return 0;
    case WM_COMMAND:
      // Panels hold controls too: their notifications reach the form here.
      if (lParam) form->Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return form->Colours(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message,
                           wParam, lParam);
    default: break;
  }
  if (!topLevel) return DefWindowProcW(window, message, wParam, lParam);

  const bool backdrop = form->design.frame == FormFrame::None;
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      if (backdrop) {
        // Behind everything of ours, whatever asks to raise it.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        pos->hwndInsertAfter = HWND_BOTTOM;
        pos->flags |= SWP_NOACTIVATE;
      }
      break;
    case WM_CLOSE:
      // The close box and the system menu: the form's handlers decide.
      form->self.Unload(CloseReason::ControlMenu);
      return 0;
    case WM_QUERYENDSESSION: return form->self.Unload(CloseReason::WindowsShutdown) ? TRUE : FALSE;
    case WM_ERASEBKGND:
      // The bands cover the whole backdrop: erasing first would only flicker.
      if (backdrop) return 1;
      break;
    case WM_MOUSEACTIVATE:
      if (backdrop) return MA_NOACTIVATE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        form->lastFocus = GetFocus();
      } else if (backdrop) {
        // Windows hands the activation on to the next window when one closes,
        // and that may be the backdrop: pass it back to the form in front.
        PostMessageW(window, kPassActivation, 0, 0);
      }
      break;
    case kPassActivation:
      if (HWND front = OwnerForBox(); front && front != window && GetActiveWindow() == window)
        SetActiveWindow(front);
      return 0;
    case WM_SETFOCUS: {
      // Focus back to the control that had it, else the first in the tab order.
      HWND target = form->lastFocus;
      if (!target || !IsChild(window, target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(window, nullptr, FALSE);
      if (target) SetFocus(target);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool IsNavigableWindow(HWND window) {
  for (FormModel* form : FormModel::Live())
    if (WindowsOf(*form).window == window) return form->design.frame != FormFrame::None;
  return false;
}

HWND OwnerForBox() {
  HWND active = GetActiveWindow();
  bool backdrop = false;
  for (FormModel* form : FormModel::Live())
    if (HWND w = WindowsOf(*form).window; w && w == active) backdrop = form->design.frame == FormFrame::None;
  if (active && !backdrop) return active;
  // Not active (another program has the foreground): the newest form in use.
  const auto& forms = FormModel::Live();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    const FormWindow& form = WindowsOf(**it);
    if (form.window && form.shown && form.design.frame != FormFrame::None && IsWindowEnabled(form.window))
      return form.window;
  }
  return nullptr;
}

}  // namespace platform::win32
