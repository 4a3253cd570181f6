// The chooser's buttons and its closing: every way out gives the wizard back.
#include <string>

#include "chooser/form3.h"
#include "chooser/free_space.h"
#include "common/setup_state.h"
#include "common/text.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace vxr {

void Form3::Click(platform::ControlId control) {
  switch (control) {
    case Command1: Command1_Click(); break;
    case Command2: Command2_Click(); break;
    case Command3: Command3_Click(); break;
    default: break;
  }
}

// New Folder.
void Form3::Command1_Click() {
  const std::wstring parent = window_.Path(Dir1);
  // A root already ends in its backslash.
  const std::wstring prefix = EndsWith(Trim(parent), L'\\') ? parent : parent + L"\\";
  const std::wstring prompt = L"Enter a name for new folder :\r\r" + prefix;
  const std::wstring answer(Trim(platform::ShowInputBox(Trim(prompt), L"New Folder", L"")));
  if (answer.empty()) return;  // nothing typed, only blanks, or cancelled
  if (answer.find_first_of(L"\\*?,:") != std::wstring::npos) {
    platform::ShowMessageBox(L"Characters, like '\\*?,:' are invalid.", platform::kBoxWarning,
                             L"Invalid Characters");
    return;
  }
  const std::wstring folder = prefix + answer;
  // A name the file system refuses, a write-protected medium or a drive that
  // has gone: say so and stay, on the folder the user was in.
  if (!platform::PathExists(folder) && platform::MakeDirectory(folder) != platform::kErrorSuccess) {
    platform::ShowMessageBox(folder + L" could not be created!", platform::kBoxWarning, L"Error");
    return;
  }
  // An existing folder is simply opened; a file of that name cannot be.
  if (!window_.SetPath(Dir1, folder))
    platform::ShowMessageBox(folder + L" could not be opened!", platform::kBoxWarning, L"Error");
}

// Ok.
void Form3::Command2_Click() {
  if (!EnoughFreeSpace(FreeSpaceKB())) {
    platform::ShowMessageBox(
        L"Space in drive is less than 500.000 bytes.\rYou need more space to install Screen Recorder.",
        platform::kBoxWarning, L"Warning");
    return;
  }
  // A drive root is not taken from the list: the destination stays as it was.
  const std::wstring path(Trim(window_.Path(Dir1)));
  if (path.size() > 3) {
    std::wstring chosen = path;
    if (EndsWith(chosen, L'\\')) chosen.pop_back();
    InstallDir = chosen;
  }
  // Never less than a folder: what the wizard shows stands.
  if (InstallDir.Trimmed().size() < 4) InstallDir = owner_->ShownDestination();
  window_.Unload();
  owner_->ShowDestination(InstallDir.Trimmed());
  owner_->GiveBack();
}

// Cancel.
void Form3::Command3_Click() {
  owner_->GiveBack();
  window_.Unload();
}

void Form3::Form_QueryUnload(bool& cancel, platform::CloseReason reason) {
  (void)cancel;  // the chooser never refuses to close
  // Ok and Cancel give the wizard back themselves; the close box, the control
  // menu and Windows shutting down leave it to this.
  if (reason != platform::CloseReason::Code) owner_->GiveBack();
}

}  // namespace vxr
