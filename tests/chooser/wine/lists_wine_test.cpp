// The real drive and folder lists under Wine, on the prefix's test drives
// (tests/wine/drives.sh): they must keep the rules the chooser's logic relies
// on, as the headless lists do. The drive types, labels, free space and its
// digit grouping are seen in the chooser itself (chooser_walk.sh).
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

enum : ControlId { Drives, Folders, kCount };
const std::array<ControlDesign, kCount> kControls{{
    {"Drive1", ControlKind::DriveList, platform::kWindow, 150, 150, 3000, 315, L""},
    {"Dir1", ControlKind::FolderList, platform::kWindow, 150, 600, 3000, 2000, L""},
}};
constexpr wchar_t kCaption[] = L"Chooser lists test";
const platform::FormDesign kDesign{kCaption, platform::FormFrame::FixedTool, 3300, 2800, true, false,
                                   kControls};

const platform::FormDesign kOwnerDesign{
    L"Chooser lists owner", platform::FormFrame::FixedSingle, 3300, 2800, true, false, {}};

wchar_t UnusedLetter() {
  wchar_t letter = L'y';
  while (GetLogicalDrives() & (1u << (letter - L'a'))) --letter;
  return letter;
}

// Forgets a form and the quit message its unloading posts.
void Dispose(platform::Form& form) {
  form.Unload();
  platform::ProcessPendingEvents();
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

// Records each Change with the drive or folder shown then; from inside its
// handler it may set another drive, as the chooser does after refusing one.
struct Recorder : platform::FormEvents {
  platform::Form* form = nullptr;
  std::vector<std::wstring> changes;
  std::wstring resetTo;
  void Change(ControlId control) override {
    if (control == Folders) return changes.push_back(L"folder " + form->Path(Folders));
    changes.push_back(form->Drive(Drives));
    if (!resetTo.empty() && form->Drive(Drives).substr(0, 2) != resetTo) form->SetDrive(Drives, resetTo);
    changes.push_back(L"end " + form->Drive(Drives));
  }
};

class ChooserListsTest : public testing::Test {
 protected:
  ChooserListsTest() {
    events_.form = &form_;
    form_.Show();
    window_ = FindWindowW(L"VxrForm", kCaption);
    drives_ = GetDlgItem(window_, 1000 + Drives);
    folders_ = GetDlgItem(window_, 1000 + Folders);
  }
  ~ChooserListsTest() override { Dispose(form_); }
  std::vector<std::wstring> FolderLines() {
    std::vector<std::wstring> lines(static_cast<std::size_t>(SendMessageW(folders_, LB_GETCOUNT, 0, 0)));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      wchar_t text[MAX_PATH + 8]{};
      SendMessageW(folders_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      lines[i] = text;
    }
    return lines;
  }
  // What a person's choice or double click tells the form.
  void Notify(ControlId control, WORD code) {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(1000 + control, code),
                 reinterpret_cast<LPARAM>(control == Drives ? drives_ : folders_));
  }
  Recorder events_;
  platform::Form form_{kDesign, events_};
  HWND window_ = nullptr, drives_ = nullptr, folders_ = nullptr;
};

TEST_F(ChooserListsTest, ChangeComesOnceADriveIsChosenAndFromInsideItself) {
  ASSERT_NE(window_, nullptr);
  EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no task-bar button";
  ASSERT_TRUE(form_.SetDrive(Drives, L"C:"));
  EXPECT_EQ(form_.Drive(Drives), L"c:");
  events_.changes.clear();
  EXPECT_TRUE(form_.SetDrive(Drives, L"c:"));
  EXPECT_FALSE(form_.SetDrive(Drives, std::wstring{UnusedLetter(), L':'}));
  EXPECT_EQ(form_.Drive(Drives), L"c:");
  EXPECT_TRUE(events_.changes.empty()) << "the drive it already shows, or one that is not there";

  // From code, with the handler going back to c: from inside itself.
  events_.resetTo = L"c:";
  ASSERT_TRUE(form_.SetDrive(Drives, L"f:"));
  const std::vector<std::wstring> expected{L"f: [DATA]", L"c:", L"end c:", L"end c:"};
  EXPECT_EQ(events_.changes, expected);
  EXPECT_EQ(
      SendMessageW(drives_, CB_GETCURSEL, 0, 0),
      SendMessageW(drives_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"c:")));

  // By a person: while the list is dropped down the selection only moves;
  // it counts when the list closes.
  events_.resetTo.clear();
  events_.changes.clear();
  const auto f =
      SendMessageW(drives_, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"f:"));
  SendMessageW(drives_, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageW(drives_, CB_SETCURSEL, static_cast<WPARAM>(f), 0);
  Notify(Drives, CBN_SELCHANGE);
  EXPECT_TRUE(events_.changes.empty());
  SendMessageW(drives_, CB_SHOWDROPDOWN, FALSE, 0);
  Notify(Drives, CBN_CLOSEUP);
  Notify(Drives, CBN_SELCHANGE);  // in whichever order they come, once
  EXPECT_EQ(events_.changes, (std::vector<std::wstring>{L"f: [DATA]", L"end f: [DATA]"}));
  EXPECT_EQ(form_.Drive(Drives), L"f: [DATA]");
}

TEST_F(ChooserListsTest, DriveTextsOpenTheDrivesCurrentFolder) {
  // Another drive's current folder is what "=F:" in the environment says.
  ASSERT_TRUE(SetEnvironmentVariableW(L"=F:", L"F:\\Projects"));
  EXPECT_TRUE(form_.SetPath(Folders, L"f: [DATA]"));
  EXPECT_EQ(form_.Path(Folders), L"F:\\Projects");
  ASSERT_TRUE(SetEnvironmentVariableW(L"=F:", nullptr));
  EXPECT_TRUE(form_.SetPath(Folders, L"f:"));
  EXPECT_EQ(lstrcmpiW(form_.Path(Folders).c_str(), L"F:\\"), 0) << "without one, the root";
  // The current drive's current folder is the current directory.
  wchar_t here[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, here);
  ASSERT_TRUE(SetCurrentDirectoryW(L"F:\\Projects"));
  const bool opened = form_.SetPath(Folders, L"f:");
  const std::wstring path = form_.Path(Folders);
  SetCurrentDirectoryW(here);
  EXPECT_TRUE(opened);
  EXPECT_EQ(path, L"F:\\Projects");
}

TEST_F(ChooserListsTest, TheFolderListShowsThePathThenTheSubfoldersSortedAndOpensThem) {
  const std::wstring base = L"F:\\Lists test";
  for (const wchar_t* name : {L"", L"\\zeta", L"\\Alpha", L"\\beta", L"\\beta\\inner"})
    CreateDirectoryW((base + name).c_str(), nullptr);
  CloseHandle(
      CreateFileW((base + L"\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  ASSERT_TRUE(form_.SetPath(Folders, base + L"\\"));
  EXPECT_EQ(form_.Path(Folders), base) << "no trailing backslash but at a root";
  const std::vector<std::wstring> expected{L"F:\\", L"  Lists test", L"    Alpha", L"    beta", L"    zeta"};
  EXPECT_EQ(FolderLines(), expected);
  EXPECT_EQ(SendMessageW(folders_, LB_GETCURSEL, 0, 0), 1) << "the open folder is selected";
  // What cannot be opened leaves the list as it is.
  for (const std::wstring& bad :
       {base + L"\\missing", base + L"\\file.txt", std::wstring{UnusedLetter(), L':'}}) {
    EXPECT_FALSE(form_.SetPath(Folders, bad)) << testing::PrintToString(bad);
    EXPECT_EQ(form_.Path(Folders), base);
  }
  EXPECT_EQ(FolderLines(), expected);

  // A double click on a subfolder opens it.
  events_.changes.clear();
  SendMessageW(folders_, LB_SETCURSEL, 3, 0);
  Notify(Folders, LBN_DBLCLK);
  EXPECT_EQ(form_.Path(Folders), base + L"\\beta");
  EXPECT_EQ(events_.changes, std::vector<std::wstring>{L"folder " + base + L"\\beta"});
  EXPECT_TRUE(form_.SetPath(Folders, L"F:\\"));
  EXPECT_EQ(form_.Path(Folders), L"F:\\") << "a root keeps its backslash";

  DeleteFileW((base + L"\\file.txt").c_str());
  for (const wchar_t* name : {L"\\beta\\inner", L"\\beta", L"\\Alpha", L"\\zeta", L""})
    RemoveDirectoryW((base + name).c_str());
}

TEST(ChooserOwner, AFormShownWithAnOwnerStaysInFrontOfIt) {
  Recorder ownerEvents, events;
  platform::Form owner(kOwnerDesign, ownerEvents);
  platform::Form owned(kDesign, events);
  owner.Show();
  owned.Show(&owner);
  HWND ownedWindow = FindWindowW(L"VxrForm", kCaption);
  ASSERT_NE(ownedWindow, nullptr);
  EXPECT_EQ(GetWindow(ownedWindow, GW_OWNER), FindWindowW(L"VxrForm", L"Chooser lists owner"));
  owned.Unload();
  Dispose(owner);
}

}  // namespace
