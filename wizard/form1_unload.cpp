// Every way out of the setup passes through the wizard's close handler.
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/process.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr {

namespace {

// The installed product, in a normal window, with the signed-in user's own
// rights: the setup itself runs as an administrator, the recorder must not.
void StartProduct() {
  const std::wstring dir(InstallDir.Trimmed());
  const std::wstring program = dir + L"\\Screen Recorder.exe";
  const platform::ProgramStart started = platform::StartProgramAsUser(program, dir);
  if (started.error == platform::kErrorSuccess) return;
  // The user asked for the product: nothing starting without a word would
  // look like the setup had failed.
  platform::ShowMessageBox(
      L"Screen Recorder could not be started:\r\n" + program +
          L"\r\n\r\nThe program file is missing or damaged. Please install Screen Recorder "
          L"again.",
      platform::kBoxWarning, L"Error");
}

}  // namespace

void Form1::Form_Unload(bool& cancel) {
  if (Finished()) {
    // The installation has already removed its temporary files.
    if (window_.Value(Check1) == 1) StartProduct();
    platform::EndProgram();
  }
  const int answer = platform::ShowMessageBox(L"Do you want to cancel the installation?",
                                              platform::kBoxQuestion, L"Screen Recorder");
  if (answer == platform::kIdNo) {
    // The wizard stays as it was, on its page; during the installation, the
    // installation goes on where it was.
    cancel = true;
    return;
  }
  AbandonInstallation();
}

void Form1::AbandonInstallation() {
  // The newest changes first: the group, the registry, then files and folders.
  std::vector<std::wstring> failures;
  const auto note = [&failures](const std::vector<std::wstring>& more) {
    failures.insert(failures.end(), more.begin(), more.end());
  };
  if (group_) note(group_->Restore());
  if (settings_) note(settings_->Restore());
  note(files_.RollBack());
  DeleteTempFiles();  // shows what it does on the finish page's stage line
  if (!failures.empty()) {
    // Nothing was thrown away: the user must know what is still changed.
    std::wstring text =
        L"Screen Recorder could not set everything back as it was before the installation:\r\n";
    for (const std::wstring& line : failures) text += L"\r\n" + line;
    platform::ShowMessageBox(text, platform::kBoxAlert, L"Screen Recorder");
  }
  platform::EndProgram();
}

void Form1::DeleteTempFiles() {
  window_.SetText(Label11, L"Temporary files are being deleted...");
  window_.Repaint(Label11);
  // Nothing here is reported: a piece that refuses to go (in use) is no
  // reason to hold the user up. Only what this run wrote is deleted.
  staging_.Remove();
}

}  // namespace vxr
