// The installation that runs when the finish page is shown: every piece out of
// the package, through the staging folder, into the destination; then the
// registry, the clean-up and the program group.
#include <string>
#include <vector>

#include "common/install_ui.h"
#include "common/text.h"
#include "engine/expand_files.h"
#include "engine/extract_piece.h"
#include "engine/payload_table.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/files.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr {

namespace {

constexpr wchar_t kMessageTitle[] = L"Screen Recorder";

// What the user is told when a piece other than the main program fails, in
// the table's order. Without the main program there is nothing to install: its
// failure ends the setup with the failing routine's own message only.
struct PieceMessages {
  const wchar_t* notExtracted;
  const wchar_t* notExpanded;
};
constexpr PieceMessages kPieceMessages[payload::kPieceCount] = {
    {nullptr, nullptr},
    {L"File 'Stop.wav' could not be extracted!", L"File 'Stop.wav' could not be expanded!"},
    {L"File 'Start.wav' could not be extracted!", L"File 'Start.wav' could not be expanded!"},
    {L"File 'Shot.wav' could not be extracted!", L"File 'Shot.wav' could not be expanded!"},
    {L"File 'Click.wav' could not be extracted!", L"File 'Click.wav' could not be expanded!"},
    {L"File 'Beep.wav' could not be extracted!", L"File 'Beep.wav' could not be expanded!"},
    {L"VXR uninstall file could not be extracted!", L"VXR 'Uninstall' file could not be expanded!"},
    {L"VXR help file could not be extracted!", L"VXR help file could not be expanded!"},
};

// The registration steps write the finish page's stage line through this.
class FinishPage final : public InstallUi {
 public:
  explicit FinishPage(platform::Form& window) : window_(window) {}
  void SetStatusLine(std::wstring_view text) override {
    window_.SetText(Form1::Label11, text);
    window_.Repaint(Form1::Label11);
  }
  void RefreshWindow() override { window_.Repaint(platform::kWindow); }

 private:
  platform::Form& window_;
};

void Tell(const std::wstring& text) { platform::ShowMessageBox(text, platform::kBoxAlert, kMessageTitle); }

}  // namespace

void Form1::InstallFiles() {
  FinishPage finishPage(window_);
  window_.SetEnabled(Command1, false);
  window_.SetEnabled(Command2, false);
  window_.SetText(
      Label11,
      L"Files are being copied into temporary folder and are being expanded into install directory...");

  // The running program's own file, whatever it is called now: a package
  // saved as "setup.bin" still finds its pieces.
  const std::wstring packagePath = platform::OwnExecutablePath();

  // A folder of this run's own, so that nothing is extracted through a link
  // or into a folder that something else put there first.
  if (staging_.Make(TempDir) != platform::kErrorSuccess) {
    Tell(L"The temporary folder '" + TempDir +
         L"\\VXRTMP' could not be created! Screen Recorder cannot be installed.");
    AbandonInstallation();
  }

  const auto table = EmbeddedPayloadTable();
  if (!table) {
    Tell(
        L"This setup program is damaged: the list of its files cannot be read! Screen Recorder cannot be "
        L"installed.");
    AbandonInstallation();
  }

  const std::wstring destination(InstallDir.Trimmed());
  for (const PayloadPiece& piece : *table) {
    const bool mainProgram = piece.order == 1;
    const PieceMessages& messages = kPieceMessages[piece.order - 1];
    const std::wstring stagingFile = staging_.FileFor(piece.storedName);
    const std::wstring installedFile = destination + L"\\" + piece.installedName;

    window_.SetText(Label12, piece.storedName);
    window_.Repaint(Label12);
    const bool extracted = ExtractPiece(packagePath, stagingFile, piece.length, piece.distance, piece.crc);
    if (extracted) {
      window_.SetText(Label12, installedFile);
    } else {
      // Without the main program there is nothing to install.
      if (mainProgram) AbandonInstallation();
      Tell(messages.notExtracted);
    }
    // Cancel and the close box are heard here, between two pieces.
    platform::ProcessPendingEvents();
    // A piece that did not come out whole is not expanded: the destination
    // keeps the file it had, if any.
    if (!extracted) continue;
    if (ExpandFile(stagingFile, installedFile, ShowErrors::Yes, &files_) < 0) {
      if (mainProgram) AbandonInstallation();
      Tell(messages.notExpanded);
    }
  }
  window_.SetText(Label12, L"");
  window_.Repaint(Label12);

  settings_ = SettingsSnapshot::Take();
  WriteRegistrySettings(destination, finishPage);
  // The pieces are no longer needed once every file is in place.
  DeleteTempFiles();
  group_ = GroupSnapshot::Take();
  const std::vector<std::wstring> missingLinks = CreateProgramGroup(destination, finishPage);

  std::wstring completed = L"Installation of Screen Recorder has been successfully completed!";
  if (missingLinks.empty()) {
    completed += L" You can run VXR from the Start Menu.";
  } else {
    // The product is installed all the same; the user must not look for it
    // in the Start menu.
    std::wstring text = L"These shortcuts of the Start Menu group '" + std::wstring(kGroupName) +
                        L"' could not be created:\r\n";
    for (const std::wstring& name : missingLinks) text += L"\r\n" + name;
    text += L"\r\n\r\nScreen Recorder is installed in " + destination + L".";
    Tell(text);
  }
  // Past the last moment to cancel: the earlier files kept aside can go.
  files_.Commit();

  finishPage.SetStatusLine(completed);
  window_.SetEnabled(Command1, false);
  window_.SetEnabled(Command3, false);
  window_.SetEnabled(Command2, true);
  window_.SetVisible(Check1, true);
  // Last: this caption is what marks the installation as finished.
  window_.SetText(Command2, kFinish);
}

}  // namespace vxr
