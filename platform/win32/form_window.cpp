// Window classes, and the windows of a form made from its table: one
// top-level window per form, a child window per control that has one.
#include "platform/win32/form_window.h"

#include "platform/win32/list_controls.h"
#include "platform/win32/win32_text.h"

namespace platform {

// The program's RT_RCDATA resources hold UTF-8 text.
std::wstring FormTextResource(std::uint16_t id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const auto* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  std::string_view utf8(bytes, SizeofResource(nullptr, found));
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  return win32::WithCrLf(win32::ToWide(utf8, CP_UTF8));
}

std::wstring ListStart(ControlKind list) {
  std::wstring here = win32::CurrentFolder();
  // The drive list's entry gets its name once the list is filled.
  if (list == ControlKind::DriveList && !here.empty()) here.resize(2);
  return here;
}

}  // namespace platform

namespace platform::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"VxrForm";
constexpr wchar_t kContainerClass[] = L"VxrContainer";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

bool IsContainer(ControlKind kind) { return kind == ControlKind::Panel || kind == ControlKind::PictureBox; }

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

bool PaintedByContainer(const ControlDesign& design) {
  return design.kind == ControlKind::Shape || design.kind == ControlKind::Image ||
         (design.kind == ControlKind::Label && (design.style & kTransparent) != 0);
}

HICON LoadIconSized(IconId icon, int size) {
  if (icon == kNoIcon) return nullptr;
  // Shared icons belong to the system's cache: never destroyed by us.
  return static_cast<HICON>(
      LoadImageW(Instance(), MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, LR_SHARED));
}

bool FormWindow::CreateWindows() {
  RegisterClasses();
  logPixelsX = LogPixelsX();
  logPixelsY = LogPixelsY();
  const DWORD style = FrameStyle(design.frame) | WS_CLIPCHILDREN;
  const DWORD exStyle = FrameExStyle(design.frame);
  RECT outer = Pixels({0, 0, design.clientWidth, design.clientHeight});
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  window =
      CreateWindowExW(exStyle, kFormClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, Instance(), this);
  if (!window) return false;
  bounds = {0, 0, MulDiv(outer.right - outer.left, 1440, logPixelsX),
            MulDiv(outer.bottom - outer.top, 1440, logPixelsY)};
  if (icon != kNoIcon) SetWindowIcon();
  // Table order: containers come before what they hold, and the tab order follows.
  for (ControlId id = 0; id < Count(); ++id) CreateControl(id);
  return true;
}

void FormWindow::CreateControl(ControlId id) {
  ControlState& c = At(id);
  DesignObjects& objects = ObjectsOf(c);
  const ControlDesign& look = *c.design;
  if (look.fontName && !objects.font) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(look.fontPoints ? look.fontPoints : 8, logPixelsY, 72);
    font.lfWeight = (look.style & kBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (look.style & kItalic) ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, look.fontName, LF_FACESIZE);
    objects.font.Reset(CreateFontIndirectW(&font));
  }
  if (look.backColour != kDefaultColour && !objects.brush && look.kind != ControlKind::Shape)
    objects.brush.Reset(CreateSolidBrush(look.backColour));
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
  HWND child =
      CreateWindowExW(exStyle, className, nullptr, style, r.left, r.top, r.right - r.left,
                      r.bottom - r.top + extraHeight, ContainerWindow(id),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChildId + id)), Instance(), this);
  c.window = child;
  if (!child) return;
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(objects.font ? objects.font.Get() : DialogFont()),
               FALSE);
  if (look.kind == ControlKind::DriveList) {
    FillDriveList(child, c.drive.empty() ? L'\0' : c.drive[0]);
    c.drive = SelectedDriveEntry(child);  // with its name, now that the list knows it
  } else if (look.kind == ControlKind::FolderList) {
    FillFolderList(child, c.path);
  } else if (!IsContainer(look.kind)) {
    SetWindowTextW(child, c.text.c_str());
    if (c.value) SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
  }
}

void FormWindow::DestroyWindows() {
  HWND gone = window;
  window = nullptr;
  for (auto& c : controls) c.window = nullptr;  // destroyed with their parent
  if (gone) {
    SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
    DestroyWindow(gone);
  }
  shown = false;
}

void FormWindow::SetWindowIcon() {
  SendMessageW(window, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconSized(icon, GetSystemMetrics(SM_CXICON))));
  SendMessageW(window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconSized(icon, GetSystemMetrics(SM_CXSMICON))));
}

void FormWindow::InvalidatePainted(ControlId id) {
  HWND container = ContainerWindow(id);
  if (!container) return;
  const RECT r = Pixels(At(id).bounds);
  InvalidateRect(container, &r, TRUE);
}

void FormWindow::MoveFocusFrom(HWND control) {
  HWND focus = GetFocus();
  if (!window || !focus || (focus != control && !IsChild(control, focus))) return;
  HWND next = GetNextDlgTabItem(window, focus, FALSE);
  SetFocus(next && next != focus && !IsChild(control, next) ? next : window);
}

}  // namespace platform::win32
