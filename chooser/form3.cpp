// The chooser's opening sequence, its drive rules and the free space.
#include "chooser/form3.h"

#include <string>

#include "chooser/form3_layout.h"
#include "chooser/free_space.h"
#include "common/setup_state.h"
#include "common/text.h"
#include "platform/dialogs.h"
#include "platform/disk_space.h"
#include "platform/drive_type.h"
#include "platform/files.h"

namespace vxr {

namespace {

constexpr wchar_t kDriverTitle[] = L"Driver";
// A drive that cannot be read sends the lists back to the destination's drive,
// which may send them on to the Windows drive: never deeper than that.
constexpr int kDeepestChange = 4;

}  // namespace

Form3::Form3() : window_(Form3Design(), *this) {}

void Form3::Change(platform::ControlId control) {
  if (control == Drive1) Drive1_Change();
}

void Form3::Form_Load() {
  window_.SetIcon(owner_->OwnerWindow().Icon());
  window_.SetText(Label1, L"Select a destination for Screen Recorder");
  window_.SetText(Label2, L"Free Space in Drive");
  window_.SetText(Command1, L"&New Folder");
  window_.SetText(Command2, L"&Ok");

  // A destination that is not there yet (the default, on a first
  // installation) only sends the lists to the Windows drive: the destination
  // itself changes on Ok alone.
  const std::wstring home = ListsHome();
  window_.SetDrive(Drive1, home.substr(0, 2));  // Drive1_Change runs if the drive changes
  OpenFolder(home);
  // Nothing is installed onto a diskette: the lists start on the Windows drive.
  const std::wstring drive = window_.Drive(Drive1);
  if (drive == L"a:" || drive == L"b:") window_.SetDrive(Drive1, WindowsDriveLetter());
  ShowFreeSpace();
}

void Form3::Drive1_Change() {
  if (changeDepth_ >= kDeepestChange) return;
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(++d) {}
    ~Depth() { --depth; }
  } depth(changeDepth_);

  const std::wstring drive = window_.Drive(Drive1);
  const std::wstring root = drive.substr(0, 1) + L":\\";
  const std::uint32_t type = platform::DriveTypeOf(root);
  std::wstring refusal;
  switch (type) {
    case platform::kDriveUnknown: refusal = root + L" couldn't be found!"; break;
    case platform::kDriveRemovable:
      refusal = L"Screen Recorder can not be installed into a diskette driver.";
      break;
    case platform::kDriveRemote:
      refusal = L"Screen Recorder can not be installed into a network driver.";
      break;
    case platform::kDriveCdRom: refusal = L"Screen Recorder can not be installed into a CD driver."; break;
    case platform::kDriveRamDisk: refusal = L"Screen Recorder can not be installed into a RAM driver."; break;
    default: break;  // fixed drives are taken; no root (1) and the unnamed kinds (7 on) are refused silently
  }
  if (!refusal.empty()) platform::ShowMessageBox(refusal, platform::kBoxAlert, kDriverTitle);

  if (type != platform::kDriveFixed) {
    ReturnToDestination();
  } else {
    // The destination's own drive opens the destination, unless its entry
    // carries a name in brackets, which the first two characters never match.
    const std::wstring destination = ListsHome();
    const bool ownDrive = EqualIgnoringCase(destination.substr(0, 2), drive);
    if (!OpenFolder(ownDrive ? std::wstring_view(destination) : std::wstring_view(drive))) {
      // A fixed drive without its medium, or locked: say so, and go back.
      platform::ShowMessageBox(root + L" is not ready!", platform::kBoxAlert, kDriverTitle);
      ReturnToDestination();
    }
  }
  ShowFreeSpace();
}

std::wstring Form3::ListsHome() const {
  if (platform::PathExists(InstallDir.Trimmed())) return std::wstring(InstallDir.Trimmed());
  return WindowsDriveLetter();
}

void Form3::ReturnToDestination() {
  const std::wstring destination = ListsHome();
  window_.SetDrive(Drive1, destination.substr(0, 2));  // may run Drive1_Change for the destination's drive
  if (OpenFolder(destination)) return;
  // The destination's drive cannot be read either: the Windows drive can.
  window_.SetDrive(Drive1, WindowsDriveLetter());
  OpenFolder(WindowsDriveLetter());
}

bool Form3::OpenFolder(std::wstring_view folder) {
  // A folder that has gone since it was chosen, or a file of that name,
  // leaves the list on the nearest place of that drive that can be shown.
  if (window_.SetPath(Dir1, folder)) return true;
  const std::wstring drive(folder.substr(0, 2));
  return window_.SetPath(Dir1, drive) || window_.SetPath(Dir1, drive + L"\\");
}

std::int64_t Form3::FreeSpaceKB() const {
  const std::wstring root = window_.Path(Dir1).substr(0, 3);
  const platform::FreeSpace space = platform::FreeBytes(root);
  // A failed query counts as no space, which Ok refuses.
  return space.error == platform::kErrorSuccess ? RoundedKilobytes(space.bytes) : 0;
}

void Form3::ShowFreeSpace() { window_.SetText(Label3, FreeSpaceText(FreeSpaceKB())); }

}  // namespace vxr
