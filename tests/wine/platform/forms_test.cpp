// Real windows made from a form's table, under Wine: the checks the headless
// forms pass too, then what only real windows show (frames, placement in
// pixels, painting, the backdrop's place behind everything).
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/system_info.h"
#include "tests/platform/forms_checks.h"

namespace vxr::test {
namespace {

using namespace forms;

HWND WindowOf(const wchar_t* caption) { return FindWindowW(L"VxrForm", caption); }

// Controls are child windows of their container, numbered 1000 + their place in the table.
HWND ChildOf(HWND window, ControlId id) {
  const ControlId container = kControls[id].container;
  return GetDlgItem(container == platform::kWindow ? window : ChildOf(window, container), 1000 + id);
}
HWND ChildOf(platform::Form& form, ControlId id) {
  return ChildOf(WindowOf(form.Text(platform::kWindow).c_str()), id);
}

// What a person could press: shown, and nothing from it up to the desktop disabled.
bool Pressable(HWND window) {
  if (!window || !IsWindowVisible(window)) return false;
  for (HWND w = window; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT))
    if (!IsWindowEnabled(w)) return false;
  return true;
}

const FormsUnderTest kForms{
    [](platform::Form& form, ControlId control) {
      HWND child = ChildOf(form, control);
      return Pressable(child) && (SendMessageW(child, BM_CLICK, 0, 0), true);
    },
    [](platform::Form& form) {
      HWND window = WindowOf(form.Text(platform::kWindow).c_str());
      return Pressable(window) && (SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0), true);
    },
    [](const wchar_t* caption) { return IsWindowVisible(WindowOf(caption)) != FALSE; },
    [](platform::Form& form, ControlId control) { return IsWindowVisible(ChildOf(form, control)) != FALSE; }};

class FormsTest : public ::testing::Test {
 protected:
  // Forgets the form and the quit message its unloading posts.
  ~FormsTest() override {
    form_.Unload();
    platform::ProcessPendingEvents();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // A rectangle in pixels as the twips rectangle converts at this screen's resolution.
  static RECT Pixels(int left, int top, int width, int height) {
    const int tpp = platform::TwipsPerPixelX();
    return {left / tpp, top / tpp, (left + width) / tpp, (top + height) / tpp};
  }
  Recorder events_{kForms};
  platform::Form form_{kDesign, events_};
};

TEST_F(FormsTest, LoadBeforeShow) { CheckLoadBeforeShow(kForms, form_, events_); }
TEST_F(FormsTest, Clicks) { CheckClicks(kForms, form_, events_); }
TEST_F(FormsTest, Closing) { CheckClosing(kForms, form_, events_); }

TEST_F(FormsTest, WindowIsCentredWithACloseBoxAndControlsAtTheirTwipsPositions) {
  form_.Show();
  HWND window = WindowOf(kCaption);
  ASSERT_NE(window, nullptr);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU) << "close box";
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  RECT client, outer;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Pixels(0, 0, 4650, 3150).right);
  EXPECT_EQ(client.bottom, Pixels(0, 0, 4650, 3150).bottom);
  GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  for (const ControlId id : {Panel, Option2, Heading, Button, Text}) {
    const ControlDesign& c = kControls[id];
    HWND child = ChildOf(window, id),
         parent = c.container == platform::kWindow ? window : ChildOf(window, c.container);
    ASSERT_NE(child, nullptr) << c.name;
    EXPECT_EQ(GetParent(child), parent) << c.name;
    RECT r, expected = Pixels(c.left, c.top, c.width, c.height);
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(EqualRect(&r, &expected))
        << c.name << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
  }
  EXPECT_NE(form_.Text(Text).find(L"\r\n"), std::wstring::npos);
  EXPECT_EQ(form_.Text(Text).find(L"\n\n"), std::wstring::npos)
      << "every line break is CRLF for the edit control";
}

enum : ControlId { Band, Title };
const std::array<ControlDesign, 2> kPainted{{
    {"Band", ControlKind::Shape, platform::kWindow, 150, 150, 4350, 150, L"", true, true,
     platform::kStyleNone, nullptr, 0, platform::kDefaultColour, platform::Rgb(0, 0, 255)},
    {"Title", ControlKind::Label, platform::kWindow, 150, 450, 1200, 255, L"Over", true, true,
     platform::kTransparent | platform::kBold, L"MS Sans Serif", 12, platform::Rgb(255, 255, 255)},
}};

TEST_F(FormsTest, TheBackdropIsPaintedStaysBehindAndNeverTakesTheActivation) {
  constexpr wchar_t kBackdropCaption[] = L"Platform test backdrop";
  const platform::FormDesign design{kBackdropCaption, platform::FormFrame::None, 6000, 4500, false, false,
                                    kPainted};
  Recorder backdropEvents{kForms};
  platform::Form backdrop(design, backdropEvents);
  form_.Show();
  backdrop.Show();
  HWND behind = WindowOf(kBackdropCaption);
  ASSERT_NE(behind, nullptr);
  EXPECT_TRUE(IsWindowVisible(behind));
  EXPECT_EQ(GetWindowLongW(behind, GWL_STYLE) & WS_CAPTION, 0);
  // Shapes and transparent labels are painted by their container.
  EXPECT_EQ(GetWindow(behind, GW_CHILD), nullptr) << "no windows of their own";
  backdrop.SetColour(Band, platform::Rgb(0, 0, 120));
  backdrop.Repaint(Band);
  const RECT band = Pixels(150, 150, 4350, 150);
  HDC dc = GetDC(behind);
  EXPECT_EQ(GetPixel(dc, band.left + 5, band.top + 2), RGB(0, 0, 120));
  ReleaseDC(behind, dc);

  SetWindowPos(behind, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetActiveWindow(behind);
  platform::ProcessPendingEvents();
  EXPECT_NE(GetActiveWindow(), behind);
  bool formFirst = false;
  for (HWND w = GetTopWindow(nullptr); w && w != behind; w = GetWindow(w, GW_HWNDNEXT))
    formFirst = formFirst || w == WindowOf(kCaption);
  EXPECT_TRUE(formFirst) << "the backdrop came in front of the form";
  backdrop.Unload();
}

}  // namespace
}  // namespace vxr::test
