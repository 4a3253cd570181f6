// Every way out of the setup passes through the wizard's close handler.
#include "platform/events.h"
#include "platform/files.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr {

void Form1::Form_Unload(bool& cancel) {
  (void)cancel;
  // Nothing has been written yet that closing would have to clean up.
  platform::EndProgram();
}

void Form1::DeleteTempFiles() {
  window_.SetText(Label11, L"Temporary files are being deleted...");
  window_.Repaint(Label11);
  // Errors are ignored: a missing folder, or one that keeps a file, is no
  // reason to keep the user waiting.
  const std::wstring staging = StagingFolder();
  platform::DeleteMatchingFiles(staging + L"\\*.*");
  platform::RemoveEmptyDirectory(staging);
}

}  // namespace vxr
