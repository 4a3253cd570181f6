// The installation that runs when the finish page is shown: every piece out of
// the package, through the staging folder, into the destination; then the
// registry, the clean-up and the program group.
#include <string>

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

constexpr std::uint32_t kMessageStyle =
    platform::kMbOk | platform::kMbIconExclamation | platform::kMbSystemModal;
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

// The running package by the name it was built under: its folder, its base
// name and ".exe", whatever its file is called now.
std::wstring PackagePath() {
  const platform::RunningExecutable running = platform::GetRunningExecutable();
  std::wstring_view directory = Trim(running.directory);
  // At a drive root the folder ends in "\", which the join below adds again.
  if (EndsWith(directory, L'\\')) directory.remove_suffix(1);
  return std::wstring(directory) + L"\\" + running.baseName + L".exe";
}

void Tell(const std::wstring& text) { platform::ShowMessageBox(text, kMessageStyle, kMessageTitle); }

}  // namespace

void Form1::InstallFiles() {
  FinishPage finishPage(window_);
  window_.SetEnabled(Command1, false);
  window_.SetEnabled(Command2, false);
  window_.SetText(
      Label11,
      L"Files are being copied into temporary folder and are being expanded into install directory...");

  const std::wstring packagePath = PackagePath();

  // An existing folder, or even a file of that name, is taken as it is: a
  // file makes the first extraction fail, which ends the setup.
  const std::wstring staging = StagingFolder();
  if (!platform::PathExists(staging) && platform::MakeDirectory(staging) != platform::kErrorSuccess) {
    // Nothing would extract into a folder that isn't there; say so rather
    // than show a file error for every piece.
    Tell(L"The temporary folder '" + staging +
         L"' could not be created! Screen Recorder cannot be installed.");
    DeleteTempFiles();
    platform::EndProgram();
  }

  const auto table = EmbeddedPayloadTable();
  if (!table) {
    Tell(
        L"This setup program is damaged: the list of its files cannot be read! Screen Recorder cannot be "
        L"installed.");
    DeleteTempFiles();
    platform::EndProgram();
  }

  const std::wstring destination(InstallDir.Trimmed());
  for (const PayloadPiece& piece : *table) {
    const bool mainProgram = piece.order == 1;
    const PieceMessages& messages = kPieceMessages[piece.order - 1];
    const std::wstring stagingFile = staging + L"\\" + piece.storedName;

    window_.SetText(Label12, piece.storedName);
    window_.Repaint(Label12);
    if (!ExtractPiece(Trim(packagePath), Trim(stagingFile), piece.length, piece.distance, piece.crc)) {
      if (mainProgram) {
        DeleteTempFiles();
        platform::EndProgram();
      }
      Tell(messages.notExtracted);
      // The expansion still runs: it reports on whatever the staging file holds.
    }

    const std::wstring installedFile = destination + L"\\" + piece.installedName;
    window_.SetText(Label12, installedFile);
    // Cancel and the close box are heard here, between two pieces.
    platform::ProcessPendingEvents();
    if (ExpandFile(Trim(stagingFile), installedFile, true) < 0) {
      if (mainProgram) {
        DeleteTempFiles();
        platform::EndProgram();
      }
      Tell(messages.notExpanded);
    }
  }
  window_.SetText(Label12, L"");
  window_.Repaint(Label12);

  WriteRegistrySettings(InstallDir.Trimmed(), finishPage);
  // The pieces are no longer needed once every file is in place.
  DeleteTempFiles();
  CreateProgramGroup(InstallDir.Trimmed(), finishPage);

  finishPage.SetStatusLine(
      L"Installation of Screen Recorder has been successfully completed! You can run VXR from the Start "
      L"Menu.");
  window_.SetEnabled(Command1, false);
  window_.SetEnabled(Command3, false);
  window_.SetEnabled(Command2, true);
  window_.SetVisible(Check1, true);
  // Last: this caption is what marks the installation as finished.
  window_.SetText(Command2, kFinish);
}

}  // namespace vxr
