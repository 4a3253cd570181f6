// Real windows made from a form's table, under Wine: lifecycle, placement,
// clicks, close reasons, text and the backdrop's place behind everything.
#include "platform/forms.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/system_info.h"
#include "resource_ids.h"

namespace {

using platform::CloseReason;
using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;
constexpr std::int8_t kWin = platform::kWindow;
constexpr wchar_t kCaption[] = L"Platform test form";
constexpr wchar_t kBackdropCaption[] = L"Platform test backdrop";

enum : ControlId { Panel, Option1, Option2, Heading, Button, Check, Text, Band, Title, kCount };
const std::array<ControlDesign, kCount> kControls{{
    {"Panel", ControlKind::Panel, kWin, 150, 150, 3000, 1500, L""},
    {"Option1", ControlKind::OptionButton, Panel, 150, 150, 2400, 255, L"First"},
    {"Option2", ControlKind::OptionButton, Panel, 150, 450, 2400, 255, L"Second"},
    {"Heading", ControlKind::Label, Panel, 150, 750, 2400, 255, L"Heading"},
    {"Button", ControlKind::Button, kWin, 3300, 150, 1200, 375, L"Press"},
    {"Check", ControlKind::CheckBox, kWin, 3300, 600, 1200, 255, L"Tick"},
    {"Text", ControlKind::TextBox, kWin, 150, 1800, 4350, 900, L"", true, true,
     platform::kMultiLine | platform::kReadOnly | platform::kVerticalScroll, nullptr, 0,
     platform::kDefaultColour, platform::kDefaultColour, VXR_TEXT_LICENCE},
    {"Band", ControlKind::Shape, kWin, 150, 2850, 4350, 150, L"", true, true, platform::kStyleNone, nullptr,
     0, platform::kDefaultColour, platform::Rgb(0, 0, 255)},
    {"Title", ControlKind::Label, kWin, 3300, 1050, 1200, 255, L"Over", true, true,
     platform::kTransparent | platform::kBold, L"MS Sans Serif", 12, platform::Rgb(255, 255, 255)},
}};
const platform::FormDesign kDesign{kCaption, platform::FormFrame::FixedSingle, 4650, 3150, true, true,
                                   kControls};
const std::span<const ControlDesign> kBandOnly(kControls.data() + Band, 1);
const platform::FormDesign kBackdrop{kBackdropCaption, platform::FormFrame::None, 6000, 4500, false, false,
                                     kBandOnly};

// Forgets a form and the quit message its unloading posts.
void Dispose(platform::Form& form) {
  form.Unload();
  platform::ProcessPendingEvents();
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

struct Recorder : platform::FormEvents {
  std::vector<std::wstring> calls;
  bool refuseUnload = false;
  bool visibleDuringLoad = true;
  void Form_Load() override {
    calls.push_back(L"Load");
    HWND window = FindWindowW(L"VxrForm", kCaption);
    visibleDuringLoad = !window || IsWindowVisible(window);
  }
  void Form_QueryUnload(bool& cancel, CloseReason reason) override {
    calls.push_back(L"QueryUnload " + std::to_wstring(static_cast<int>(reason)));
    cancel = refuseUnload;
  }
  void Form_Unload(bool&) override { calls.push_back(L"Unload"); }
  void Click(ControlId control) override { calls.push_back(L"Click " + std::to_wstring(control)); }
};

class FormsTest : public testing::Test {
 protected:
  ~FormsTest() override { Dispose(form); }
  HWND Window() const { return FindWindowW(L"VxrForm", kCaption); }
  HWND Child(ControlId id) const {
    std::pair<int, HWND> wanted{1000 + id, nullptr};
    EnumChildWindows(Window(), FindById, reinterpret_cast<LPARAM>(&wanted));
    return wanted.second;
  }
  static BOOL CALLBACK FindById(HWND child, LPARAM pair) {
    auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(pair);
    if (GetDlgCtrlID(child) != wanted->first) return TRUE;
    wanted->second = child;
    return FALSE;
  }
  // A rectangle in pixels as the twips rectangle converts at this screen's resolution.
  static RECT Pixels(int left, int top, int width, int height) {
    const int tpp = platform::TwipsPerPixelX();
    return {left / tpp, top / tpp, (left + width) / tpp, (top + height) / tpp};
  }
  Recorder events;
  platform::Form form{kDesign, events};
};

TEST_F(FormsTest, LoadRunsWhileHiddenThenTheWindowShowsCentred) {
  form.Show();
  ASSERT_EQ(events.calls, std::vector<std::wstring>{L"Load"});
  EXPECT_FALSE(events.visibleDuringLoad) << "Form_Load must run before the window is visible";
  HWND window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU) << "close box";
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

  RECT client, outer;
  GetClientRect(window, &client);
  const RECT expected = Pixels(0, 0, 4650, 3150);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  form.Show();
  EXPECT_EQ(events.calls.size(), 1u) << "a second Show does not load again";
}

TEST_F(FormsTest, ControlsSitInTheirContainersAtTheirTwipsPositions) {
  form.Show();
  struct Case {
    ControlId id;
    HWND parent;
    const wchar_t* className;
    RECT pixels;
  } cases[] = {
      {Panel, Window(), L"VxrContainer", Pixels(150, 150, 3000, 1500)},
      {Option2, Child(Panel), L"Button", Pixels(150, 450, 2400, 255)},
      {Heading, Child(Panel), L"Static", Pixels(150, 750, 2400, 255)},
      {Button, Window(), L"Button", Pixels(3300, 150, 1200, 375)},
      {Text, Window(), L"Edit", Pixels(150, 1800, 4350, 900)},
  };
  for (const auto& c : cases) {
    HWND child = Child(c.id);
    ASSERT_NE(child, nullptr) << c.id;
    EXPECT_EQ(GetParent(child), c.parent) << c.id;
    wchar_t className[32];
    GetClassNameW(child, className, 32);
    EXPECT_STREQ(className, c.className) << c.id;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, c.parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, c.pixels.left) << c.id;
    EXPECT_EQ(r.top, c.pixels.top) << c.id;
    EXPECT_EQ(r.right, c.pixels.right) << c.id;
    EXPECT_EQ(r.bottom, c.pixels.bottom) << c.id;
  }
  EXPECT_EQ(Child(Band), nullptr) << "shapes are painted, not windows";
  EXPECT_EQ(Child(Title), nullptr) << "transparent labels are painted over the shapes";
}

TEST_F(FormsTest, ClicksRaiseEventsAndOptionsExcludeEachOther) {
  form.Show();
  SendMessageW(Child(Option1), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Value(Option1), 1);
  SendMessageW(Child(Option2), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Value(Option1), 0);
  EXPECT_EQ(form.Value(Option2), 1);
  SendMessageW(Child(Check), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Value(Check), 1);
  // A click waiting in the queue runs when pending events are processed.
  PostMessageW(Child(Button), BM_CLICK, 0, 0);
  platform::ProcessPendingEvents();
  const std::vector<std::wstring> expected{L"Load", L"Click 1", L"Click 2", L"Click 5", L"Click 4"};
  EXPECT_EQ(events.calls, expected);

  events.calls.clear();
  form.SetValue(Option1, 1);  // from code: no event, the sibling is cleared
  EXPECT_EQ(SendMessageW(Child(Option1), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Child(Option2), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(events.calls.empty());

  form.SetEnabled(Button, false);
  EXPECT_FALSE(IsWindowEnabled(Child(Button)));
  form.SetVisible(Panel, false);
  EXPECT_FALSE(IsWindowVisible(Child(Option1))) << "a hidden panel hides what it holds";
  EXPECT_TRUE(form.Visible(Option1));
  form.SetInUse(false);
  EXPECT_FALSE(IsWindowEnabled(Window()));
  form.SetInUse(true);
}

TEST_F(FormsTest, ClosingAsksTheHandlersWithItsReason) {
  form.Show();
  events.refuseUnload = true;
  SendMessageW(Window(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_NE(Window(), nullptr);
  EXPECT_FALSE(form.Unload());
  events.refuseUnload = false;
  form.SetText(Heading, L"Changed");
  SendMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(Window(), nullptr);
  const std::vector<std::wstring> expected{L"Load", L"QueryUnload 0", L"QueryUnload 1", L"QueryUnload 0",
                                           L"Unload"};
  EXPECT_EQ(events.calls, expected);

  form.Show();  // loaded afresh, in its design state
  EXPECT_EQ(form.Text(Heading), L"Heading");
  EXPECT_EQ(events.calls.back(), L"Load");
}

TEST_F(FormsTest, TextsKeepEveryLetterAndTheLicenceComesFromTheResource) {
  form.Show();
  const std::wstring licence = form.Text(Text);
  EXPECT_EQ(licence.rfind(L"LICENCE AGREEMENT", 0), 0u) << "the text resource as the design text";
  EXPECT_NE(licence.find(L"\r\n"), std::wstring::npos);
  EXPECT_EQ(licence.find(L"\n\n"), std::wstring::npos) << "every line break is CRLF for the edit control";

  const std::wstring turkish = L"Dosya açılamadı: ĞÜŞİÖÇ ğüşıöç";
  form.SetText(Heading, turkish);
  wchar_t shown[64]{};
  GetWindowTextW(Child(Heading), shown, 64);
  EXPECT_EQ(std::wstring(shown), turkish);
  form.SetText(platform::kWindow, L"Kurulum - Hata");
  EXPECT_NE(FindWindowW(L"VxrForm", L"Kurulum - Hata"), nullptr);
}

TEST_F(FormsTest, ShapesArePaintedInTheirColour) {
  form.Show();
  form.SetColour(Band, platform::Rgb(0, 0, 120));
  form.Repaint(Band);
  const RECT band = Pixels(150, 2850, 4350, 150);
  HDC dc = GetDC(Window());
  const COLORREF pixel = GetPixel(dc, band.left + 5, band.top + 2);
  ReleaseDC(Window(), dc);
  EXPECT_EQ(pixel, RGB(0, 0, 120));
}

TEST_F(FormsTest, TheBackdropStaysBehindAndNeverTakesTheActivation) {
  Recorder backdropEvents;
  platform::Form backdrop(kBackdrop, backdropEvents);
  form.Show();
  backdrop.Show();
  HWND behind = FindWindowW(L"VxrForm", kBackdropCaption);
  ASSERT_NE(behind, nullptr);
  EXPECT_TRUE(IsWindowVisible(behind));
  EXPECT_EQ(GetWindowLongW(behind, GWL_STYLE) & WS_CAPTION, 0);
  SetWindowPos(behind, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetActiveWindow(behind);
  platform::ProcessPendingEvents();
  EXPECT_NE(GetActiveWindow(), behind);
  bool formFirst = false;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == Window()) formFirst = true;
    if (w == behind) break;
  }
  EXPECT_TRUE(formFirst) << "the backdrop came in front of the form";
  backdrop.Unload();
}

enum : ControlId { Drives, Folders, kListCount };
const std::array<ControlDesign, kListCount> kListControls{{
    {"Drive1", ControlKind::DriveList, kWin, 150, 150, 3000, 315, L""},
    {"Dir1", ControlKind::FolderList, kWin, 150, 600, 3000, 2000, L""},
}};
const platform::FormDesign kListDesign{
    L"Platform test lists", platform::FormFrame::FixedTool, 3300, 2800, true, false, kListControls};

struct ChangeRecorder : platform::FormEvents {
  std::vector<ControlId> changes;
  void Change(ControlId control) override { changes.push_back(control); }
};

TEST(ListsTest, DrivesAndFoldersComeFromTheFileSystem) {
  ChangeRecorder events;
  platform::Form form(kListDesign, events);
  form.Show();
  HWND window = FindWindowW(L"VxrForm", L"Platform test lists");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no task-bar button";
  HWND drives = GetDlgItem(window, 1000 + Drives);
  HWND folders = GetDlgItem(window, 1000 + Folders);

  EXPECT_TRUE(form.SetDrive(Drives, L"C:"));
  EXPECT_EQ(form.Drive(Drives).substr(0, 2), L"c:");
  EXPECT_TRUE(form.SetDrive(Drives, L"c:"));
  EXPECT_EQ(events.changes, std::vector<ControlId>{Drives}) << "Change only when the drive changes";
  EXPECT_GE(SendMessageW(drives, CB_GETCOUNT, 0, 0), 1);
  wchar_t unused = L'z';
  while (GetLogicalDrives() & (1u << (unused - L'a'))) --unused;
  EXPECT_FALSE(form.SetDrive(Drives, std::wstring{unused, L':'}));
  EXPECT_EQ(form.Drive(Drives).substr(0, 2), L"c:");

  wchar_t windowsDir[MAX_PATH];
  GetWindowsDirectoryW(windowsDir, MAX_PATH);
  ASSERT_TRUE(form.SetPath(Folders, std::wstring(windowsDir) + L"\\"));
  EXPECT_EQ(form.Path(Folders), windowsDir) << "no trailing backslash but at a root";
  EXPECT_FALSE(form.SetPath(Folders, L"C:\\no such folder"));
  EXPECT_EQ(form.Path(Folders), windowsDir);
  EXPECT_TRUE(form.SetPath(Folders, L"C:\\"));
  EXPECT_EQ(form.Path(Folders), L"C:\\");
  ASSERT_TRUE(form.SetPath(Folders, windowsDir));

  // Opening a subfolder as a double click does.
  const auto item =
      SendMessageW(folders, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"  "));
  ASSERT_GE(item, 0);
  const auto system32 = SendMessageW(folders, LB_GETCOUNT, 0, 0);
  LRESULT found = -1;
  for (LRESULT i = 0; i < system32; ++i) {
    wchar_t text[MAX_PATH];
    SendMessageW(folders, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    std::wstring name(text);
    name.erase(0, name.find_first_not_of(L' '));
    if (lstrcmpiW(name.c_str(), L"system32") == 0) found = i;
  }
  ASSERT_GE(found, 0) << "the Windows folder lists system32";
  SendMessageW(folders, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(1000 + Folders, LBN_DBLCLK), reinterpret_cast<LPARAM>(folders));
  EXPECT_EQ(lstrcmpiW(form.Path(Folders).c_str(), (std::wstring(windowsDir) + L"\\system32").c_str()), 0)
      << "got " << testing::PrintToString(form.Path(Folders));
  EXPECT_EQ(events.changes.back(), Folders);
  Dispose(form);
}

}  // namespace
