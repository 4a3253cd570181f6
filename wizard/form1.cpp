// The wizard's buttons, licence options and page flow.
#include "wizard/form1.h"

#include "chooser/form3.h"
#include "common/text.h"
#include "platform/ansi_text.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "wizard/form1_layout.h"
#include "wizard/module1.h"

namespace vxr {

using platform::ControlId;

Form1::Form1() : window_(Form1Design(), *this) {}

ControlId Form1::Frame1(int index) {
  static constexpr ControlId kFrames[] = {Frame1_1, Frame1_2, Frame1_3, Frame1_4};
  return kFrames[index - 1];
}

bool Form1::Finished() const { return window_.Text(Command2) == kFinish; }

void Form1::Click(ControlId control) {
  switch (control) {
    case Command1: Command1_Click(); break;
    case Command2: Command2_Click(); break;
    case Command3: Command3_Click(); break;
    case Command4: Command4_Click(); break;
    case Option1: Option1_Click(); break;
    case Option2: Option2_Click(); break;
    default: break;
  }
}

// Back.
void Form1::Command1_Click() {
  if (WizardPage != 1) {
    --WizardPage;
    ShowPage();
    if (WizardPage != 1) return;
  }
  window_.SetEnabled(Command1, false);
}

// Next, and Finish once the installation is done.
void Form1::Command2_Click() {
  if (Finished()) {
    window_.Unload();  // the close handler ends the program
    return;
  }
  if (WizardPage < 4) {
    ++WizardPage;
    ShowPage();  // on page 4 the whole installation runs inside this call
  }
  if (!Finished() && WizardPage > 1) window_.SetEnabled(Command1, true);
}

// Cancel: the close handler asks for confirmation.
void Form1::Command3_Click() { window_.Unload(); }

// Change Dir: the chooser gives the wizard back when it closes.
void Form1::Command4_Click() {
  window_.SetInUse(false);
  TheForm3().Show(*this);
}

void Form1::Option1_Click() { window_.SetEnabled(Command2, true); }
void Form1::Option2_Click() { window_.SetEnabled(Command2, false); }

void Form1::ShowPage() {
  for (int page = 1; page <= 4; ++page) window_.SetVisible(Frame1(page), false);

  switch (WizardPage) {
    case 1:
      window_.SetEnabled(Command2, true);
      window_.SetVisible(Frame1(1), true);
      break;
    case 2:
      // The licence has to be accepted again every time the page is shown.
      window_.SetValue(Option1, 0);
      window_.SetValue(Option2, 0);
      window_.SetEnabled(Command2, false);
      window_.SetVisible(Frame1(2), true);
      break;
    case 3:
      window_.SetEnabled(Command2, true);
      window_.SetVisible(Frame1(3), true);
      break;
    case 4: {
      // A bare drive ("D:" or "D:\") installs into its "\Screen Recorder".
      if (InstallDir.Trimmed().size() < 4) {
        std::wstring dir(InstallDir.Trimmed().substr(0, 1));
        InstallDir = dir + L":\\Screen Recorder";
      }
      std::wstring dir(InstallDir.Trimmed());
      // The files are expanded and the registry written through the ANSI
      // calls: a name this Windows' code page cannot hold would reach them as
      // another name ("Ğ" as "G"), and the product would end up half in a
      // folder nobody chose. Refused before anything is made.
      if (!platform::FitsAnsiCodePage(dir)) {
        platform::ShowMessageBox(dir +
                                     L" cannot be used: its name has characters that the language settings "
                                     L"of this Windows do not support. Please choose another directory.",
                                 platform::kBoxWarning, L"Error");
        WizardPage = 3;
        window_.SetVisible(Frame1(3), true);
        return;
      }
      // Folders made here are the installation's: abandoned, it removes them.
      const auto make = [this](const std::wstring& folder) {
        if (!platform::PathExists(folder) && platform::MakeDirectory(folder) == platform::kErrorSuccess)
          files_.MadeFolder(folder);
      };
      make(dir);  // failure shows below
      if (!platform::PathExists(dir)) {
        if (InstallDir.Trimmed() == DefaultInstallDir()) {
          // Directories are made one level at a time: the parent first. A
          // failure here surfaces as the installation's own file errors.
          make(WindowsDriveLetter() + L"\\Program Files");
          make(DefaultInstallDir());
        } else {
          platform::ShowMessageBox(dir + L" could not be found!", platform::kBoxWarning, L"Error");
          WizardPage = 3;
          window_.SetVisible(Frame1(3), true);
          return;
        }
      }
      window_.SetVisible(Frame1(4), true);
      InstallFiles();
      break;
    }
    default: break;
  }
}

}  // namespace vxr
