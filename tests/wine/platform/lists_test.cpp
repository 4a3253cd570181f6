// The drive and folder lists under Wine: drives and folders come from the
// real file system, and Change is raised as a person's selection raises it.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/forms.h"

namespace {

using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;
constexpr std::int8_t kWin = platform::kWindow;

// Forgets a form and the quit message its unloading posts.
void Dispose(platform::Form& form) {
  form.Unload();
  platform::ProcessPendingEvents();
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
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
