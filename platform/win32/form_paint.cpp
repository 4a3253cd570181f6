// What a form's windows paint themselves: the controls without a window
// (shapes, images, transparent labels), and the colours of those with one.
#include "platform/win32/form_window.h"

namespace platform::win32 {

void FormWindow::Paint(HWND container, ControlId containerId) {
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
          const DesignObjects& objects = ObjectsOf(c);
          const HGDIOBJ oldFont = SelectObject(dc, objects.font ? objects.font.Get() : DialogFont());
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

LRESULT FormWindow::Colours(HWND container, HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  const ControlId id = IdOf(child);
  if (id == kNoControl) return DefWindowProcW(container, message, wParam, lParam);
  const ControlState& c = At(id);
  const ControlDesign& look = *c.design;
  const ControlKind kind = look.kind;
  // Text boxes and lists keep the window colour, read-only ones too; everything
  // else shows the face colour of the form behind it.
  const bool windowColour =
      kind == ControlKind::TextBox || kind == ControlKind::DriveList || kind == ControlKind::FolderList;
  const int system = windowColour ? COLOR_WINDOW : COLOR_BTNFACE;
  SetTextColor(dc, look.foreColour != kDefaultColour
                       ? look.foreColour
                       : GetSysColor(windowColour ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
  if (const DesignObjects& objects = ObjectsOf(c); objects.brush) {
    SetBkColor(dc, look.backColour);
    return reinterpret_cast<LRESULT>(objects.brush.Get());
  }
  SetBkColor(dc, GetSysColor(system));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(system));
}

}  // namespace platform::win32
