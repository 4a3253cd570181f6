// The Form operations on real windows: each property is kept in the form
// model and, while the window exists, set on it too.
#include "platform/forms.h"

#include "platform/win32/form_window.h"
#include "platform/win32/list_controls.h"
#include "platform/win32/win32_text.h"

namespace platform {

struct Form::Impl : win32::FormWindow {
  using FormWindow::FormWindow;
};

Form::Form(const FormDesign& design, FormEvents& events)
    : impl_(std::make_unique<Impl>(*this, design, events)) {}

Form::~Form() { impl_->DestroyWindows(); }

void Form::Show(const Form* owner) {
  Impl& f = *impl_;
  if (!f.loaded) {
    f.Reset();
    f.lastFocus = nullptr;
    f.owner = owner ? owner->impl_->window : nullptr;
    if (!f.CreateWindows()) return;
    if (!f.Load()) return;  // the load handler unloaded it; the window was not visible yet
  }
  if (!f.shown) {
    if (f.design.centred) {
      RECT r;
      GetWindowRect(f.window, &r);
      const int width = r.right - r.left, height = r.bottom - r.top;
      SetWindowPos(f.window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    f.shown = true;
  }
  ShowWindow(f.window, f.design.frame == FormFrame::None ? SW_SHOWNOACTIVATE : SW_SHOW);
  UpdateWindow(f.window);
}

bool Form::Unload(CloseReason reason) {
  Impl& f = *impl_;
  if (!f.loaded) return true;
  if (!f.FormModel::Unload(reason)) return false;
  f.DestroyWindows();
  // As in any Windows program of forms: when the last one goes, the program ends.
  for (const FormModel* other : FormModel::Live())
    if (other->loaded) return true;
  PostQuitMessage(0);
  return true;
}

bool Form::IsLoaded() const { return impl_->loaded; }

void Form::SetInUse(bool inUse) {
  impl_->inUse = inUse;
  if (impl_->window) EnableWindow(impl_->window, inUse ? TRUE : FALSE);
}
bool Form::InUse() const { return impl_->inUse; }

void Form::SetText(ControlId control, std::wstring_view text) {
  Impl& f = *impl_;
  if (control == kWindow) {
    f.caption = text;
    if (f.window) SetWindowTextW(f.window, f.caption.c_str());
    return;
  }
  ControlState& c = f.At(control);
  c.text = c.design->kind == ControlKind::TextBox ? win32::WithCrLf(text) : std::wstring(text);
  if (HWND w = f.ChildWindow(control))
    SetWindowTextW(w, c.text.c_str());
  else if (win32::PaintedByContainer(*c.design))
    f.InvalidatePainted(control);
}

std::wstring Form::Text(ControlId control) const {
  if (control == kWindow) return impl_->caption;
  const ControlState& c = impl_->At(control);
  // A text box's contents may have been typed by the user.
  if (HWND w = impl_->ChildWindow(control); w && c.design->kind == ControlKind::TextBox) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  return c.text;
}

void Form::Repaint(ControlId control) {
  Impl& f = *impl_;
  if (control == kWindow) {
    if (f.window)
      RedrawWindow(f.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return;
  }
  HWND target = f.ChildWindow(control);
  if (!target) {
    f.InvalidatePainted(control);
    target = f.ContainerWindow(control);
  } else {
    InvalidateRect(target, nullptr, TRUE);
  }
  if (target) UpdateWindow(target);
}

void Form::SetEnabled(ControlId control, bool enabled) {
  impl_->At(control).enabled = enabled;
  HWND w = impl_->ChildWindow(control);
  if (!w) return;
  if (!enabled) impl_->MoveFocusFrom(w);
  EnableWindow(w, enabled ? TRUE : FALSE);
}
bool Form::Enabled(ControlId control) const { return impl_->At(control).enabled; }

void Form::SetVisible(ControlId control, bool visible) {
  ControlState& c = impl_->At(control);
  if (c.visible == visible) return;
  c.visible = visible;
  if (HWND w = impl_->ChildWindow(control)) {
    if (!visible) impl_->MoveFocusFrom(w);
    ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
  } else
    impl_->InvalidatePainted(control);
}
bool Form::Visible(ControlId control) const { return impl_->At(control).visible; }

void Form::SetValue(ControlId control, int value) {
  Impl& f = *impl_;
  if (HWND w = f.ChildWindow(control)) SendMessageW(w, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  f.FormModel::SetValue(control, value, [&f](ControlId cleared) {
    if (HWND w = f.ChildWindow(cleared)) SendMessageW(w, BM_SETCHECK, BST_UNCHECKED, 0);
  });
}

int Form::Value(ControlId control) const {
  const ControlState& c = impl_->At(control);
  // The user's clicks change it behind our back.
  if (HWND w = impl_->ChildWindow(control);
      w && (c.design->kind == ControlKind::CheckBox || c.design->kind == ControlKind::OptionButton))
    return SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  return c.value;
}

void Form::SetBounds(ControlId control, TwipsRect bounds) {
  Impl& f = *impl_;
  if (control == kWindow) {
    f.bounds = bounds;
    if (f.window) {
      const RECT r = f.Pixels(bounds);
      SetWindowPos(f.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  ControlState& c = f.At(control);
  if (HWND w = f.ChildWindow(control)) {
    c.bounds = bounds;
    const RECT r = f.Pixels(bounds);
    const int extra = c.design->kind == ControlKind::DriveList ? win32::kDropDownPixels : 0;
    MoveWindow(w, r.left, r.top, r.right - r.left, r.bottom - r.top + extra, TRUE);
  } else {
    if (c.visible) f.InvalidatePainted(control);
    c.bounds = bounds;
    if (c.visible) f.InvalidatePainted(control);
  }
}
TwipsRect Form::Bounds(ControlId control) const {
  return control == kWindow ? impl_->bounds : impl_->At(control).bounds;
}

void Form::SetColour(ControlId control, std::uint32_t rgb) {
  ControlState& c = impl_->At(control);
  c.colour = rgb;
  if (c.visible) impl_->InvalidatePainted(control);
}
std::uint32_t Form::Colour(ControlId control) const { return impl_->At(control).colour; }

ControlId Form::AddCopy(ControlId original) {
  Impl& f = *impl_;
  const ControlId id = f.FormModel::AddCopy(original);
  if (f.window) f.CreateControl(id);
  return id;
}

void Form::SetIcon(IconId icon) {
  impl_->icon = icon;
  if (impl_->window) impl_->SetWindowIcon();
}
IconId Form::Icon() const { return impl_->icon; }

void Form::SetPicture(ControlId image, IconId icon) {
  impl_->At(image).picture = icon;
  impl_->InvalidatePainted(image);
}
IconId Form::Picture(ControlId image) const { return impl_->At(image).picture; }

bool Form::SetDrive(ControlId driveList, std::wstring_view drive) {
  if (drive.size() < 2 || drive[1] != L':') return false;
  ControlState& c = impl_->At(driveList);
  const wchar_t letter =
      drive[0] >= L'A' && drive[0] <= L'Z' ? static_cast<wchar_t>(drive[0] - L'A' + L'a') : drive[0];
  if (!c.drive.empty() && c.drive[0] == letter) return true;
  HWND w = impl_->ChildWindow(driveList);
  const std::wstring selected = w ? win32::SelectDriveEntry(w, letter) : std::wstring();
  if (selected.empty()) return false;
  c.drive = selected;
  impl_->events.Change(driveList);
  return true;
}
std::wstring Form::Drive(ControlId driveList) const { return impl_->At(driveList).drive; }

bool Form::SetPath(ControlId folderList, std::wstring_view path) {
  const std::wstring folder = win32::ResolveFolder(path);
  if (folder.empty()) return false;
  ControlState& c = impl_->At(folderList);
  c.path = folder;
  if (HWND w = impl_->ChildWindow(folderList)) win32::FillFolderList(w, c.path);
  return true;
}
std::wstring Form::Path(ControlId folderList) const { return impl_->At(folderList).path; }

}  // namespace platform

namespace platform::win32 {

HWND WindowOf(const Form& form) { return WindowsOf(FormModel::Of(form)).window; }

}  // namespace platform::win32
