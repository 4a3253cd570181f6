// Forms as real windows: one top-level window per form, a child window per
// control. Shapes, images and transparent labels have no window of their own:
// their container paints them, so a backdrop of a few hundred bands stays cheap.
#include "platform/forms.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/system_info.h"
#include "platform/win32/gui.h"
#include "platform/win32/list_controls.h"
#include "platform/win32/win32_text.h"

namespace platform {

namespace {

using win32::UniqueGdiObject;

constexpr wchar_t kFormClass[] = L"VxrForm";
constexpr wchar_t kContainerClass[] = L"VxrContainer";
// Child window ids start well above IDOK and IDCANCEL, which IsDialogMessage
// sends for Enter and Escape.
constexpr int kFirstChildId = 1000;
// A drop-down list's window includes its opened list.
constexpr int kDropDownPixels = 200;
// Posted to the backdrop when it was made active by mistake.
constexpr UINT kPassActivation = WM_APP + 1;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

bool PaintedByContainer(const ControlDesign& design) {
  return design.kind == ControlKind::Shape || design.kind == ControlKind::Image ||
         (design.kind == ControlKind::Label && (design.style & kTransparent) != 0);
}

bool IsContainer(ControlKind kind) { return kind == ControlKind::Panel || kind == ControlKind::PictureBox; }

HICON LoadIconSized(IconId icon, int size) {
  if (icon == kNoIcon) return nullptr;
  // Shared icons belong to the system's cache: never destroyed by us.
  return static_cast<HICON>(
      LoadImageW(Instance(), MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, LR_SHARED));
}

std::wstring TextResource(std::uint16_t id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const auto* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  std::string_view utf8(bytes, SizeofResource(nullptr, found));
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  return win32::WithCrLf(win32::ToWide(utf8, CP_UTF8));
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterClasses() {
  static const bool registered = [] {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormProc;
    form.hInstance = Instance();
    form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
    WNDCLASSEXW container = form;
    container.lpszClassName = kContainerClass;
    RegisterClassExW(&container);
    return true;
  }();
  (void)registered;
}

}  // namespace

struct Control {
  const ControlDesign* design;  // design state
  std::wstring text;
  bool enabled = true, visible = true;
  int value = 0;
  TwipsRect bounds{};
  std::uint32_t colour = kDefaultColour;
  IconId picture = kNoIcon;
  std::wstring drive, path;
  HWND window = nullptr;  // none for the painted kinds
  UniqueGdiObject font;   // only when the design names a font
  UniqueGdiObject brush;  // only when the design gives a back colour
};

struct Form::Impl {
  Form* self = nullptr;
  const FormDesign* design = nullptr;
  FormEvents* events = nullptr;
  HWND window = nullptr;
  HWND owner = nullptr;  // the form this one stays in front of
  bool loaded = false, shown = false, inUse = true;
  std::wstring caption;
  IconId icon = kNoIcon;
  TwipsRect bounds{};
  std::vector<Control> controls;
  HWND lastFocus = nullptr;
  int logPixelsX = 96, logPixelsY = 96;

  void Design();
  bool CreateWindows();
  void CreateControl(ControlId id);
  void DestroyWindows();

  Control& At(ControlId id) { return controls[static_cast<std::size_t>(id)]; }
  const Control& At(ControlId id) const { return controls[static_cast<std::size_t>(id)]; }
  ControlId IdOf(HWND child) const {
    const int id = GetDlgCtrlID(child) - kFirstChildId;
    return id >= 0 && id < static_cast<int>(controls.size()) && At(id).window == child ? id : -2;
  }
  HWND ContainerWindow(ControlId id) const {
    const ControlId container = At(id).design->container;
    return container == kWindow ? window : At(container).window;
  }
  RECT Pixels(TwipsRect r) const {
    return {MulDiv(r.left, logPixelsX, 1440), MulDiv(r.top, logPixelsY, 1440),
            MulDiv(r.left + r.width, logPixelsX, 1440), MulDiv(r.top + r.height, logPixelsY, 1440)};
  }
  void InvalidatePainted(ControlId id) {
    HWND container = ContainerWindow(id);
    if (!container) return;
    const RECT r = Pixels(At(id).bounds);
    InvalidateRect(container, &r, TRUE);
  }
  // A control about to be disabled or hidden hands the keyboard focus on,
  // else the keyboard would be left with nothing to work.
  void MoveFocusFrom(HWND control) {
    HWND focus = GetFocus();
    if (!window || !focus || (focus != control && !IsChild(control, focus))) return;
    HWND next = GetNextDlgTabItem(window, focus, FALSE);
    SetFocus(next && next != focus && !IsChild(control, next) ? next : window);
  }
  void Paint(HWND container, ControlId containerId);
  LRESULT Colours(HWND container, HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  void Command(HWND child, int code);
};

namespace {

std::vector<Form::Impl*>& LiveForms() {
  static std::vector<Form::Impl*> forms;
  return forms;
}

Form::Impl* ImplOf(HWND window) {
  return reinterpret_cast<Form::Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

DWORD FrameStyle(FormFrame frame) {
  switch (frame) {
    case FormFrame::FixedSingle: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    case FormFrame::FixedTool: return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case FormFrame::None: break;
  }
  return WS_POPUP;
}

DWORD FrameExStyle(FormFrame frame) {
  switch (frame) {
    case FormFrame::FixedSingle: return WS_EX_CONTROLPARENT;
    case FormFrame::FixedTool: return WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    case FormFrame::None: break;
  }
  // The borderless form is the backdrop: it must never take the activation
  // from the wizard or the message boxes in front of it.
  return WS_EX_NOACTIVATE;
}

}  // namespace

void Form::Impl::Design() {
  controls.clear();
  controls.reserve(design->controls.size());
  for (const auto& c : design->controls) {
    Control control{};
    control.design = &c;
    control.text = c.textResource ? TextResource(c.textResource) : std::wstring(c.text ? c.text : L"");
    control.enabled = c.enabled;
    control.visible = c.visible;
    control.bounds = {c.left, c.top, c.width, c.height};
    control.colour = c.backColour;
    // Drive and folder lists start where the program stands.
    if (c.kind == ControlKind::DriveList || c.kind == ControlKind::FolderList) {
      const std::wstring here = win32::CurrentFolder();
      if (c.kind == ControlKind::FolderList) control.path = here;
      if (c.kind == ControlKind::DriveList && !here.empty()) control.drive = here.substr(0, 2);
    }
    controls.push_back(std::move(control));
  }
  caption = design->caption;
  icon = design->programIcon ? kProgramIcon : kNoIcon;
  inUse = true;
  lastFocus = nullptr;
}

bool Form::Impl::CreateWindows() {
  RegisterClasses();
  logPixelsX = win32::LogPixelsX();
  logPixelsY = win32::LogPixelsY();
  const DWORD style = FrameStyle(design->frame) | WS_CLIPCHILDREN;
  const DWORD exStyle = FrameExStyle(design->frame);
  RECT outer = Pixels({0, 0, design->clientWidth, design->clientHeight});
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  window =
      CreateWindowExW(exStyle, kFormClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, Instance(), this);
  if (!window) return false;
  bounds = {0, 0, MulDiv(outer.right - outer.left, 1440, logPixelsX),
            MulDiv(outer.bottom - outer.top, 1440, logPixelsY)};
  if (icon != kNoIcon) {
    SendMessageW(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconSized(icon, GetSystemMetrics(SM_CXICON))));
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconSized(icon, GetSystemMetrics(SM_CXSMICON))));
  }
  // Table order: containers come before what they hold, and the tab order follows.
  for (ControlId id = 0; id < static_cast<ControlId>(controls.size()); ++id) CreateControl(id);
  return true;
}

void Form::Impl::CreateControl(ControlId id) {
  Control& c = At(id);
  const ControlDesign& look = *c.design;
  if (look.fontName && !c.font) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(look.fontPoints ? look.fontPoints : 8, logPixelsY, 72);
    font.lfWeight = (look.style & kBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (look.style & kItalic) ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, look.fontName, LF_FACESIZE);
    c.font.Reset(CreateFontIndirectW(&font));
  }
  if (look.backColour != kDefaultColour && !c.brush && look.kind != ControlKind::Shape)
    c.brush.Reset(CreateSolidBrush(look.backColour));
  if (PaintedByContainer(look)) {
    InvalidatePainted(id);
    return;
  }

  const wchar_t* className = L"STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  int extraHeight = 0;
  switch (look.kind) {
    case ControlKind::Panel:
    case ControlKind::PictureBox:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT | (look.kind == ControlKind::PictureBox ? WS_EX_CLIENTEDGE : 0);
      break;
    case ControlKind::Label:
      // SS_NOPREFIX: a destination path may hold "&", which must show as it is.
      style |= SS_NOPREFIX | ((look.style & kCentred) ? SS_CENTER : SS_LEFT);
      break;
    case ControlKind::Button:
      className = L"BUTTON";
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::CheckBox:
      className = L"BUTTON";
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::OptionButton: {
      className = L"BUTTON";
      style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
      // The first option of a run of siblings starts the group that excludes itself.
      bool first = true;
      for (ControlId other = id - 1; other >= 0; --other) {
        if (At(other).design->container != look.container) continue;
        first = At(other).design->kind != ControlKind::OptionButton;
        break;
      }
      if (first) style |= WS_GROUP;
      break;
    }
    case ControlKind::TextBox:
      className = L"EDIT";
      exStyle |= WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | WS_GROUP | ES_LEFT;
      if (look.style & kMultiLine)
        style |= ES_MULTILINE | ES_AUTOVSCROLL;
      else
        style |= ES_AUTOHSCROLL;
      if (look.style & kReadOnly) style |= ES_READONLY;
      if (look.style & kVerticalScroll) style |= WS_VSCROLL;
      break;
    case ControlKind::DriveList:
      className = L"COMBOBOX";
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
      extraHeight = kDropDownPixels;
      break;
    case ControlKind::FolderList:
      className = L"LISTBOX";
      exStyle |= WS_EX_CLIENTEDGE;
      style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
      break;
    case ControlKind::Image:
    case ControlKind::Shape: return;
  }
  if (look.kind != ControlKind::OptionButton && look.kind != ControlKind::Label) style |= WS_GROUP;
  if (c.visible) style |= WS_VISIBLE;
  if (!c.enabled) style |= WS_DISABLED;

  const RECT r = Pixels(c.bounds);
  c.window =
      CreateWindowExW(exStyle, className, nullptr, style, r.left, r.top, r.right - r.left,
                      r.bottom - r.top + extraHeight, ContainerWindow(id),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChildId + id)), Instance(), this);
  if (!c.window) return;
  SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(c.font ? c.font.Get() : win32::DialogFont()),
               FALSE);
  if (look.kind == ControlKind::DriveList) {
    win32::FillDriveList(c.window, c.drive.empty() ? L'\0' : c.drive[0]);
    c.drive = win32::SelectedDriveEntry(c.window);  // with its name, now that the list knows it
  } else if (look.kind == ControlKind::FolderList) {
    win32::FillFolderList(c.window, c.path);
  } else if (!IsContainer(look.kind)) {
    SetWindowTextW(c.window, c.text.c_str());
    if (c.value) SendMessageW(c.window, BM_SETCHECK, BST_CHECKED, 0);
  }
}

void Form::Impl::DestroyWindows() {
  HWND gone = window;
  window = nullptr;
  for (auto& c : controls) c.window = nullptr;  // destroyed with their parent
  if (gone) {
    SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
    DestroyWindow(gone);
  }
  shown = false;
}

void Form::Impl::Paint(HWND container, ControlId containerId) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(container, &ps);
  if (containerId != kWindow && At(containerId).design->kind == ControlKind::Panel) {
    RECT client;
    GetClientRect(container, &client);
    DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
  }
  const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  // Shapes first: labels and images are drawn over them, whatever their order in the table.
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& c : controls) {
      if (c.design->container != containerId || !c.visible || !PaintedByContainer(*c.design)) continue;
      if ((c.design->kind == ControlKind::Shape) != (pass == 0)) continue;
      RECT r = Pixels(c.bounds);
      RECT visible;
      if (!IntersectRect(&visible, &r, &ps.rcPaint)) continue;
      switch (c.design->kind) {
        case ControlKind::Shape:
          // The bands' outline is left invisible: it takes the fill colour, so
          // the shading runs without seams.
          SetDCBrushColor(dc, c.colour == kDefaultColour ? RGB(255, 255, 255) : c.colour);
          FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
          break;
        case ControlKind::Image:
          if (HICON picture = LoadIconSized(c.picture, GetSystemMetrics(SM_CXICON)))
            DrawIconEx(dc, r.left, r.top, picture, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
          break;
        default: {
          const HGDIOBJ oldFont = SelectObject(dc, c.font ? c.font.Get() : win32::DialogFont());
          SetTextColor(
              dc, c.design->foreColour == kDefaultColour ? GetSysColor(COLOR_BTNTEXT) : c.design->foreColour);
          DrawTextW(dc, c.text.c_str(), static_cast<int>(c.text.size()), &r,
                    DT_WORDBREAK | DT_NOPREFIX | ((c.design->style & kCentred) ? DT_CENTER : DT_LEFT));
          SelectObject(dc, oldFont);
          break;
        }
      }
    }
  }
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldBrush);
  EndPaint(container, &ps);
}

LRESULT Form::Impl::Colours(HWND container, HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  const ControlId id = IdOf(child);
  if (id < 0) return DefWindowProcW(container, message, wParam, lParam);
  const Control& c = At(id);
  const ControlKind kind = c.design->kind;
  // Text boxes and lists keep the window colour, read-only ones too; everything
  // else shows the face colour of the form behind it.
  const bool windowColour =
      kind == ControlKind::TextBox || kind == ControlKind::DriveList || kind == ControlKind::FolderList;
  const int system = windowColour ? COLOR_WINDOW : COLOR_BTNFACE;
  SetTextColor(dc, c.design->foreColour != kDefaultColour
                       ? c.design->foreColour
                       : GetSysColor(windowColour ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
  if (c.brush) {
    SetBkColor(dc, c.design->backColour);
    return reinterpret_cast<LRESULT>(c.brush.Get());
  }
  SetBkColor(dc, GetSysColor(system));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(system));
}

void Form::Impl::Command(HWND child, int code) {
  const ControlId id = IdOf(child);
  if (id < 0) return;
  Control& c = At(id);
  switch (c.design->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      if (code == BN_CLICKED) events->Click(id);
      break;
    case ControlKind::DriveList: {
      // While the list is dropped down the selection follows the arrow keys
      // only tentatively; it counts once the list has closed.
      if (code != CBN_CLOSEUP && (code != CBN_SELCHANGE || SendMessageW(child, CB_GETDROPPEDSTATE, 0, 0)))
        break;
      const std::wstring selected = win32::SelectedDriveEntry(child);
      if (selected.empty() || (!c.drive.empty() && c.drive[0] == selected[0])) break;
      c.drive = selected;
      events->Change(id);
      break;
    }
    case ControlKind::FolderList: {
      if (code != LBN_DBLCLK) break;
      const std::wstring target =
          win32::ResolveFolder(win32::FolderOfItem(child, c.path, SendMessageW(child, LB_GETCURSEL, 0, 0)));
      if (target.empty()) break;
      c.path = target;
      win32::FillFolderList(child, c.path);
      events->Change(id);
      break;
    }
    default: break;
  }
}

namespace {

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  Form::Impl* impl = ImplOf(window);
  if (!impl) return DefWindowProcW(window, message, wParam, lParam);
  const bool topLevel = window == impl->window;
  const ControlId self = topLevel ? kWindow : impl->IdOf(window);
  // A panel whose form is being torn down belongs to nobody any more.
  if (!topLevel && self < 0) return DefWindowProcW(window, message, wParam, lParam);

  switch (message) {
    case WM_PAINT: impl->Paint(window, self); return 0;
    case WM_COMMAND:
      // Panels hold controls too: their notifications reach the form here.
      if (lParam) impl->Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return impl->Colours(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message,
                           wParam, lParam);
    default: break;
  }
  if (!topLevel) return DefWindowProcW(window, message, wParam, lParam);

  const bool backdrop = impl->design->frame == FormFrame::None;
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
      impl->self->Unload(CloseReason::ControlMenu);
      return 0;
    case WM_QUERYENDSESSION: return impl->self->Unload(CloseReason::WindowsShutdown) ? TRUE : FALSE;
    case WM_ERASEBKGND:
      // The bands cover the whole backdrop: erasing first would only flicker.
      if (backdrop) return 1;
      break;
    case WM_MOUSEACTIVATE:
      if (backdrop) return MA_NOACTIVATE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        impl->lastFocus = GetFocus();
      } else if (backdrop) {
        // Windows hands the activation on to the next window when one closes,
        // and that may be the backdrop: pass it back to the form in front.
        PostMessageW(window, kPassActivation, 0, 0);
      }
      break;
    case kPassActivation:
      if (HWND front = win32::OwnerForBox(); front && front != window && GetActiveWindow() == window)
        SetActiveWindow(front);
      return 0;
    case WM_SETFOCUS: {
      // Focus back to the control that had it, else the first in the tab order.
      HWND target = impl->lastFocus;
      if (!target || !IsChild(window, target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(window, nullptr, FALSE);
      if (target) SetFocus(target);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

Form::Form(const FormDesign& design, FormEvents& events) : impl_(std::make_unique<Impl>()) {
  impl_->self = this;
  impl_->design = &design;
  impl_->events = &events;
  impl_->Design();
  LiveForms().push_back(impl_.get());
}

Form::~Form() {
  std::erase(LiveForms(), impl_.get());
  impl_->DestroyWindows();
}

void Form::Show(const Form* owner) {
  Impl& f = *impl_;
  if (!f.loaded) {
    f.Design();
    f.owner = owner ? owner->impl_->window : nullptr;
    if (!f.CreateWindows()) return;
    f.loaded = true;
    f.events->Form_Load();  // the window exists but is not visible yet
    if (!f.loaded) return;  // the load handler unloaded it
  }
  if (!f.shown) {
    if (f.design->centred) {
      RECT r;
      GetWindowRect(f.window, &r);
      const int width = r.right - r.left, height = r.bottom - r.top;
      SetWindowPos(f.window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    f.shown = true;
  }
  ShowWindow(f.window, f.design->frame == FormFrame::None ? SW_SHOWNOACTIVATE : SW_SHOW);
  UpdateWindow(f.window);
}

bool Form::Unload(CloseReason reason) {
  Impl& f = *impl_;
  if (!f.loaded) return true;
  bool cancel = false;
  f.events->Form_QueryUnload(cancel, reason);
  if (cancel) return false;
  f.events->Form_Unload(cancel);
  if (cancel) return false;
  f.loaded = false;
  f.DestroyWindows();
  // As in any Windows program of forms: when the last one goes, the program ends.
  if (std::none_of(LiveForms().begin(), LiveForms().end(), [](const Impl* other) { return other->loaded; }))
    PostQuitMessage(0);
  return true;
}

bool Form::IsLoaded() const { return impl_->loaded; }

void Form::SetInUse(bool inUse) {
  impl_->inUse = inUse;
  if (impl_->window) EnableWindow(impl_->window, inUse ? TRUE : FALSE);
}
bool Form::InUse() const { return impl_->inUse; }

ControlId Form::Find(std::string_view name) const {
  for (std::size_t i = 0; i < impl_->controls.size(); ++i)
    if (name == impl_->controls[i].design->name) return static_cast<ControlId>(i);
  return -2;
}
std::string_view Form::Name(ControlId control) const { return impl_->At(control).design->name; }
ControlKind Form::Kind(ControlId control) const { return impl_->At(control).design->kind; }
int Form::ControlCount() const { return static_cast<int>(impl_->controls.size()); }

void Form::SetText(ControlId control, std::wstring_view text) {
  if (control == kWindow) {
    impl_->caption = text;
    if (impl_->window) SetWindowTextW(impl_->window, impl_->caption.c_str());
    return;
  }
  Control& c = impl_->At(control);
  c.text = c.design->kind == ControlKind::TextBox ? win32::WithCrLf(text) : std::wstring(text);
  if (c.window)
    SetWindowTextW(c.window, c.text.c_str());
  else if (PaintedByContainer(*c.design))
    impl_->InvalidatePainted(control);
}

std::wstring Form::Text(ControlId control) const {
  if (control == kWindow) return impl_->caption;
  const Control& c = impl_->At(control);
  // A text box's contents may have been typed by the user.
  if (c.window && c.design->kind == ControlKind::TextBox) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(c.window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(c.window, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  return c.text;
}

void Form::Repaint(ControlId control) {
  if (control == kWindow) {
    if (impl_->window)
      RedrawWindow(impl_->window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return;
  }
  Control& c = impl_->At(control);
  HWND target = c.window;
  if (!target) {
    impl_->InvalidatePainted(control);
    target = impl_->ContainerWindow(control);
  } else {
    InvalidateRect(target, nullptr, TRUE);
  }
  if (target) UpdateWindow(target);
}

void Form::SetEnabled(ControlId control, bool enabled) {
  Control& c = impl_->At(control);
  c.enabled = enabled;
  if (!c.window) return;
  if (!enabled) impl_->MoveFocusFrom(c.window);
  EnableWindow(c.window, enabled ? TRUE : FALSE);
}
bool Form::Enabled(ControlId control) const { return impl_->At(control).enabled; }

void Form::SetVisible(ControlId control, bool visible) {
  Control& c = impl_->At(control);
  if (c.visible == visible) return;
  c.visible = visible;
  if (c.window) {
    if (!visible) impl_->MoveFocusFrom(c.window);
    ShowWindow(c.window, visible ? SW_SHOWNA : SW_HIDE);
  } else
    impl_->InvalidatePainted(control);
}
bool Form::Visible(ControlId control) const { return impl_->At(control).visible; }

void Form::SetValue(ControlId control, int value) {
  Control& c = impl_->At(control);
  c.value = value;
  if (c.window) SendMessageW(c.window, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (c.design->kind == ControlKind::OptionButton && value != 0) {
    for (auto& other : impl_->controls) {
      if (&other == &c || other.design->kind != ControlKind::OptionButton ||
          other.design->container != c.design->container)
        continue;
      other.value = 0;
      if (other.window) SendMessageW(other.window, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
}

int Form::Value(ControlId control) const {
  const Control& c = impl_->At(control);
  // The user's clicks change it behind our back.
  if (c.window && (c.design->kind == ControlKind::CheckBox || c.design->kind == ControlKind::OptionButton))
    return SendMessageW(c.window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
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
  Control& c = f.At(control);
  if (c.window) {
    c.bounds = bounds;
    const RECT r = f.Pixels(bounds);
    const int extra = c.design->kind == ControlKind::DriveList ? kDropDownPixels : 0;
    MoveWindow(c.window, r.left, r.top, r.right - r.left, r.bottom - r.top + extra, TRUE);
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
  Control& c = impl_->At(control);
  c.colour = rgb;
  if (c.visible) impl_->InvalidatePainted(control);
}
std::uint32_t Form::Colour(ControlId control) const { return impl_->At(control).colour; }

ControlId Form::AddCopy(ControlId original) {
  Impl& f = *impl_;
  const Control& from = f.At(original);
  Control copy{};
  copy.design = from.design;
  copy.text = from.text;
  copy.enabled = from.enabled;
  copy.visible = false;
  copy.value = from.value;
  copy.bounds = from.bounds;
  copy.colour = from.colour;
  copy.picture = from.picture;
  f.controls.push_back(std::move(copy));
  const auto id = static_cast<ControlId>(f.controls.size() - 1);
  if (f.window) f.CreateControl(id);
  return id;
}

void Form::SetIcon(IconId icon) {
  impl_->icon = icon;
  if (!impl_->window) return;
  SendMessageW(impl_->window, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconSized(icon, GetSystemMetrics(SM_CXICON))));
  SendMessageW(impl_->window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconSized(icon, GetSystemMetrics(SM_CXSMICON))));
}
IconId Form::Icon() const { return impl_->icon; }

void Form::SetPicture(ControlId image, IconId icon) {
  impl_->At(image).picture = icon;
  impl_->InvalidatePainted(image);
}
IconId Form::Picture(ControlId image) const { return impl_->At(image).picture; }

bool Form::SetDrive(ControlId driveList, std::wstring_view drive) {
  if (drive.size() < 2 || drive[1] != L':') return false;
  Control& c = impl_->At(driveList);
  const wchar_t letter =
      drive[0] >= L'A' && drive[0] <= L'Z' ? static_cast<wchar_t>(drive[0] - L'A' + L'a') : drive[0];
  if (!c.drive.empty() && c.drive[0] == letter) return true;
  const std::wstring selected = c.window ? win32::SelectDriveEntry(c.window, letter) : std::wstring();
  if (selected.empty()) return false;
  c.drive = selected;
  impl_->events->Change(driveList);
  return true;
}
std::wstring Form::Drive(ControlId driveList) const { return impl_->At(driveList).drive; }

bool Form::SetPath(ControlId folderList, std::wstring_view path) {
  const std::wstring folder = win32::ResolveFolder(path);
  if (folder.empty()) return false;
  Control& c = impl_->At(folderList);
  c.path = folder;
  if (c.window) win32::FillFolderList(c.window, c.path);
  return true;
}
std::wstring Form::Path(ControlId folderList) const { return impl_->At(folderList).path; }

}  // namespace platform

namespace platform::win32 {

HWND WindowOf(const Form& form) { return const_cast<Form&>(form).impl().window; }

bool IsNavigableWindow(HWND window) {
  for (const auto* form : platform::LiveForms())
    if (form->window == window) return form->design->frame != FormFrame::None;
  return false;
}

HWND OwnerForBox() {
  HWND active = GetActiveWindow();
  bool backdrop = false;
  for (const auto* form : platform::LiveForms())
    if (form->window && form->window == active) backdrop = form->design->frame == FormFrame::None;
  if (active && !backdrop) return active;
  // Not active (another program has the foreground): the newest form in use.
  const auto& forms = platform::LiveForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    const auto* form = *it;
    if (form->window && form->shown && form->design->frame != FormFrame::None &&
        IsWindowEnabled(form->window))
      return form->window;
  }
  return nullptr;
}

}  // namespace platform::win32
