// The real drive and folder lists under Wine, on the prefix's test drives
// (tests/wine/drives.sh): what chooser_walk.sh cannot do through the driver
// (a dropped-down list, a double click). Drive types, labels, free space, the
// folder list's lines, current folders and the reset after a refused drive are
// seen in the chooser itself there.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/forms.h"

namespace {

using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;

enum : ControlId { Drives, Folders, kCount };
const std::array<ControlDesign, kCount> kControls{{
    {"Drive1", ControlKind::DriveList, platform::kWindow, 150, 150, 3000, 315, L""},
    {"Dir1", ControlKind::FolderList, platform::kWindow, 150, 600, 3000, 2000, L""},
}};
constexpr wchar_t kCaption[] = L"Chooser lists test", kOwnerCaption[] = L"Chooser lists owner";
const platform::FormDesign kDesign{kCaption, platform::FormFrame::FixedTool, 3300, 2800, true, false,
                                   kControls};
const platform::FormDesign kOwnerDesign{
    kOwnerCaption, platform::FormFrame::FixedSingle, 3300, 2800, true, false, {}};

wchar_t UnusedLetter() {
  wchar_t letter = L'y';
  while (GetLogicalDrives() & (1u << (letter - L'a'))) --letter;
  return letter;
}

// Records each Change with the drive or folder shown then.
struct Recorder : platform::FormEvents {
  platform::Form* form = nullptr;
  std::vector<std::wstring> changes;
  void Change(ControlId control) override {
    changes.push_back(control == Folders ? L"folder " + form->Path(Folders) : form->Drive(Drives));
  }
};

// The lists on a form shown with an owner, as the chooser is over the wizard.
class ChooserListsTest : public testing::Test {
 protected:
  ChooserListsTest() {
    events_.form = &form_;
    owner_.Show();
    form_.Show(&owner_);
    window_ = FindWindowW(L"VxrForm", kCaption);
    drives_ = GetDlgItem(window_, 1000 + Drives);
    folders_ = GetDlgItem(window_, 1000 + Folders);
  }
  // Forgets the forms and the quit messages their unloading posts.
  ~ChooserListsTest() override {
    form_.Unload();
    owner_.Unload();
    platform::ProcessPendingEvents();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // What a person's choice or double click tells the form.
  void Notify(ControlId control, WORD code) {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(1000 + control, code),
                 reinterpret_cast<LPARAM>(control == Drives ? drives_ : folders_));
  }
  Recorder events_, ownerEvents_;
  platform::Form owner_{kOwnerDesign, ownerEvents_}, form_{kDesign, events_};
  HWND window_ = nullptr, drives_ = nullptr, folders_ = nullptr;
};

TEST_F(ChooserListsTest, ChangeComesOnceADriveIsChosenAndTheListHasClosed) {
  ASSERT_NE(window_, nullptr);
  EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no task-bar button";
  EXPECT_EQ(GetWindow(window_, GW_OWNER), FindWindowW(L"VxrForm", kOwnerCaption)) << "in front of its owner";
  ASSERT_TRUE(form_.SetDrive(Drives, L"C:"));
  EXPECT_EQ(form_.Drive(Drives), L"c:");
  events_.changes.clear();
  EXPECT_TRUE(form_.SetDrive(Drives, L"c:"));
  EXPECT_FALSE(form_.SetDrive(Drives, std::wstring{UnusedLetter(), L':'}));
  EXPECT_EQ(form_.Drive(Drives), L"c:");
  EXPECT_TRUE(events_.changes.empty()) << "the drive it already shows, or one that is not there";

  // While the list is dropped down the selection only moves; it counts when the list closes.
  const auto f =
      SendMessageW(drives_, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"f:"));
  SendMessageW(drives_, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageW(drives_, CB_SETCURSEL, static_cast<WPARAM>(f), 0);
  Notify(Drives, CBN_SELCHANGE);
  EXPECT_TRUE(events_.changes.empty());
  SendMessageW(drives_, CB_SHOWDROPDOWN, FALSE, 0);
  Notify(Drives, CBN_CLOSEUP);
  Notify(Drives, CBN_SELCHANGE);  // in whichever order they come, once
  EXPECT_EQ(events_.changes, std::vector<std::wstring>{L"f: [DATA]"});
}

// (The path and the subfolders, sorted, line by line: chooser_walk.sh.)
TEST_F(ChooserListsTest, TheFolderListOpensFoldersAndADoubleClickedSubfolder) {
  const std::wstring base = L"F:\\Lists test";
  for (const wchar_t* name : {L"", L"\\Alpha", L"\\beta"}) CreateDirectoryW((base + name).c_str(), nullptr);
  CloseHandle(
      CreateFileW((base + L"\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  ASSERT_TRUE(form_.SetPath(Folders, base + L"\\"));
  EXPECT_EQ(form_.Path(Folders), base) << "no trailing backslash but at a root";
  EXPECT_FALSE(form_.SetPath(Folders, base + L"\\file.txt")) << "a file cannot be opened";
  EXPECT_EQ(form_.Path(Folders), base);

  // A double click on a subfolder (lines: F:\, Lists test, Alpha, beta) opens it.
  events_.changes.clear();
  SendMessageW(folders_, LB_SETCURSEL, 3, 0);
  Notify(Folders, LBN_DBLCLK);
  EXPECT_EQ(events_.changes, std::vector<std::wstring>{L"folder " + base + L"\\beta"});
  EXPECT_TRUE(form_.SetPath(Folders, L"F:\\"));
  EXPECT_EQ(form_.Path(Folders), L"F:\\") << "a root keeps its backslash";

  std::filesystem::remove_all(base);
}

}  // namespace
