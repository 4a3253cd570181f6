// Every way out of the setup passes through the wizard's close handler.
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/files.h"
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
      platform::kMbOk | platform::kMbIconExclamation, L"Error");
}

}  // namespace

void Form1::Form_Unload(bool& cancel) {
  if (Finished()) {
    // The installation has already removed its temporary files.
    if (window_.Value(Check1) == 1) StartProduct();
    platform::EndProgram();
  }
  const int answer = platform::ShowMessageBox(
      L"Do you want to cancel the installation?",
      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2 | platform::kMbSystemModal,
      L"Screen Recorder");
  if (answer == platform::kIdNo) {
    // The wizard stays as it was, on its page; during the installation, the
    // installation goes on where it was.
    cancel = true;
    return;
  }
  DeleteTempFiles();  // shows what it does on the finish page's stage line
  platform::EndProgram();
}

void Form1::DeleteTempFiles() {
  window_.SetText(Label11, L"Temporary files are being deleted...");
  window_.Repaint(Label11);
  // Nothing here is reported: a folder that is missing, or that keeps a file
  // which refuses to go (read-only, in use) or a folder of its own, is no
  // reason to hold the user up. Only the files directly in it are ours to delete.
  const std::wstring staging = StagingFolder();
  platform::DeleteMatchingFiles(staging + L"\\*.*");
  platform::RemoveEmptyDirectory(staging);
}

}  // namespace vxr
