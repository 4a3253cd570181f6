// The whole installation from a package built by the packing tool: where it
// runs from, what is in its way, pieces that fail, and Cancel.
#include "platform/dialogs.h"
#include "platform/headless/registry_store.h"
#include "platform/headless/shell_control.h"
#include "registration/product_settings.h"
#include "tests/install/install_fixture.h"
#include "tests/wizard/wizard_state.h"

namespace vxr::test {
namespace {

using platform::registry::RootKey;
std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }
const std::vector<std::string> kAllLinks = {"Screen Recorder Help.lnk", "Tarvo's Screen Recorder.lnk",
                                            "Uninstall Screen Recorder.lnk", "VXR Movie Studio.lnk"};

// From a drive root, whose folder already ends in a backslash (not to be
// doubled); the finish page then starts the installed product.
TEST_F(InstallTest, DemoPackageInstallsRegistersAndFinishes) {
  PlacePackage(L"C:\\VXRSetup.exe", DemoPackage().bytes);
  ASSERT_FALSE(Install());

  // The finished state: only Finish and the run box are left to press.
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(VisiblePage(), 4);
  EXPECT_TRUE(CanPress("Command2") && CanPress("Check1"));
  EXPECT_FALSE(CanPress("Command1") || CanPress("Command3"));
  EXPECT_EQ(Wizard().Value(Form1::Check1), 0);
  EXPECT_EQ(Wizard().Text(Form1::Label11), kCompleted);
  EXPECT_EQ(Wizard().Text(Form1::Label12), L"");
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});

  // Every product file, byte for byte, and nothing else; no staging folder.
  ExpectInstalledBut();
  EXPECT_EQ(Listing(kDestination).size(), DemoFiles().size());
  EXPECT_FALSE(Exists(kStaging));
  EXPECT_EQ(RegistryText(kProductKey, L"Dizin"), "C:\\Program Files\\Screen Recorder");
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
            "\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"");
  EXPECT_EQ(Listing(kGroup), kAllLinks);
  const auto main = headless::ReadShellLink(std::wstring(kGroup) + L"\\Tarvo's Screen Recorder.lnk");
  ASSERT_TRUE(main);
  EXPECT_EQ(main->target, std::wstring(kDestination) + L"\\Screen Recorder.exe");

  // One event point per piece, showing the file about to be expanded, and one
  // in the program-group step; Cancel is live at each, Back and Next are not.
  ASSERT_EQ(points_.size(), 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(points_[i].status, i < 8 ? L"Files are being copied into temporary folder and are being "
                                         L"expanded into install directory..."
                                       : L"Shortcuts are being created...");
    EXPECT_EQ(points_[i].file,
              i < 8 ? std::wstring(kDestination) + L"\\" + Wide(DemoFiles()[i].installedName) : L"");
    EXPECT_TRUE(points_[i].cancelLive && !points_[i].backLive && !points_[i].nextLive) << i;
  }
  // What was repainted at once: each stored name before its extraction, then the stages.
  std::vector<std::wstring> repainted, expected;
  for (const auto& r : headless::Repaints())
    if (r.control == "Label11" || r.control == "Label12")
      repainted.push_back(Wide(r.control) + L": " + r.text);
  for (const auto& piece : DemoPackage().pieces) expected.push_back(L"Label12: " + Wide(piece.storedName));
  for (const wchar_t* line :
       {L"Label12: ", L"Label11: Registry settings are being done...",
        L"Label11: Temporary files are being deleted...", L"Label11: Shortcuts are being created..."})
    expected.push_back(line);
  expected.push_back(std::wstring(L"Label11: ") + kCompleted);
  EXPECT_EQ(repainted, expected);

  ASSERT_TRUE(Press("Check1"));
  EXPECT_TRUE(headless::EndsProgram([&] { Press("Command2"); }));
  EXPECT_EQ(headless::StartedPrograms(),
            std::vector<std::wstring>{std::wstring(kDestination) + L"\\Screen Recorder.exe"});
}

// An interrupted run left its staging folder, with files longer than the
// pieces and one of another's: reused, and removed at the end.
TEST_F(InstallTest, LeftoverStagingFolderIsReused) {
  machine_.MakeFolders(kStaging);
  for (const auto& piece : DemoPackage().pieces)
    machine_.WriteFile(std::wstring(kStaging) + L"\\" + Wide(piece.storedName),
                       std::string(static_cast<std::size_t>(piece.length) + 4096, 'x'));
  machine_.WriteFile(std::wstring(kStaging) + L"\\notes.txt", "left behind");
  ASSERT_FALSE(Install());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});
  ExpectInstalledBut();
  EXPECT_FALSE(Exists(kStaging));
}

// The setup ends with one message, before any event point, leaving nothing of
// an installation behind.
enum Abandoned { kExactName, kRenamed, kStagingIsAFile, kNoStaging, kBadTable, kBadMain, kNoDestination };
class AbandonedTest : public InstallTest, public ::testing::WithParamInterface<Abandoned> {};

TEST_P(AbandonedTest, OneMessageAndNothingLeft) {
  std::wstring box = L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!";
  const std::wstring cannot = L" Screen Recorder cannot be installed.";
  Bytes bytes = DemoPackage().bytes;
  std::string error;
  switch (GetParam()) {
    case kExactName:  // at a drive root: opened by exactly its own name
      PlacePackage(L"C:\\VXRSetup.exe", bytes);
      headless::InjectFailure("RawOpenRead", L"C:\\VXRSetup.exe", platform::kErrorSharingViolation);
      break;
    case kRenamed:  // looked for under its name with ".exe", it cannot find itself
      std::filesystem::remove(machine_.Host(kPackage));
      PlacePackage(L"C:\\SETUP\\VXRSetup.dat", bytes);
      break;
    case kStagingIsAFile:  // passes for the folder; nothing can be extracted into it
      machine_.WriteFile(kStaging, "not a folder");
      break;
    case kNoStaging:
      headless::InjectFailure("MakeDirectory", kStaging, platform::kErrorAccessDenied);
      box =
          L"Screen Recorder: The temporary folder 'C:\\WINDOWS\\TEMP\\VXRTMP' could not be created!" + cannot;
      break;
    case kBadTable:
      bytes[*pack::LocateTable(bytes, error) + offsetof(payload::Table, version)] ^= 0x7F;
      PlacePackage(kPackage, bytes);
      box = L"Screen Recorder: This setup program is damaged: the list of its files cannot be read!" + cannot;
      break;
    case kBadMain: PlacePackage(kPackage, DamagedPackage(1)); break;
    case kNoDestination:  // made (or vanished) before the sequence: the expansion names the file
      headless::InjectFailure("MakeDirectory", kDestination, platform::kErrorAccessDenied, 2);
      box =
          L"ExpandFiles - Hata!: 'C:\\Program Files\\Screen Recorder\\Screen Recorder.exe' isimli dosya "
          L"için yol geçersiz!";
      break;
  }
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{box});
  EXPECT_EQ(headless::ShownBoxes().at(0).style, 0x1030u);
  // The first event point comes between the main program's extraction and its expansion.
  EXPECT_EQ(points_.size(), GetParam() == kNoDestination ? 1u : 0u);
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_FALSE(Wizard().Visible(Form1::Check1));
  EXPECT_EQ(Listing(kDestination), std::vector<std::string>{});
  if (GetParam() == kStagingIsAFile)
    EXPECT_EQ(machine_.ReadFile(kStaging), "not a folder") << "the user's file is left alone";
  else
    EXPECT_FALSE(Exists(kStaging));
  EXPECT_FALSE(headless::RegistryKeyExists(RootKey::LocalMachine, L"Software\\Ambretton"));
  EXPECT_FALSE(headless::RegistryKeyExists(RootKey::LocalMachine, kUninstallKey));
  EXPECT_EQ(Listing(kGroup), std::vector<std::string>{});
}
INSTANTIATE_TEST_SUITE_P(Every, AbandonedTest,
                         ::testing::Values(kExactName, kRenamed, kStagingIsAFile, kNoStaging, kBadTable,
                                           kBadMain, kNoDestination));

// A piece other than the main program that fails is reported, and the
// installation goes on to its end without it; the group offers only what is there.
enum Missing { kSound, kHelp, kUninstaller };
class PieceFailureTest : public InstallTest, public ::testing::WithParamInterface<Missing> {};

TEST_P(PieceFailureTest, ReportedAndTheInstallationFinishes) {
  const std::wstring staged = L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\";
  const struct {
    std::string file;
    std::vector<std::wstring> boxes;
    std::vector<std::string> links;
  } rows[] = {
      // The table's CRC catches the damage: the expansion that follows finds an empty staging file.
      {"Stop.wav",
       {staged + L"Stop.wa_' could not be written!",
        L"Screen Recorder: File 'Stop.wav' could not be extracted!"},
       kAllLinks},
      // Not written at all: the expansion has its own say too.
      {"VXR.chm",
       {staged + L"VXR.ch_' could not be written!", L"Screen Recorder: VXR help file could not be extracted!",
        L"ExpandFiles - Hata!: 'C:\\WINDOWS\\TEMP\\VXRTMP\\VXR.ch_' isimli dosya bulunamadı!",
        L"Screen Recorder: VXR help file could not be expanded!"},
       {kAllLinks[1], kAllLinks[2], kAllLinks[3]}},
      {"Uninstall VXR.exe",
       {L"ExpandFiles - Hata!: 'C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe' isimli dosya "
        L"kullanımda!",
        L"Screen Recorder: VXR 'Uninstall' file could not be expanded!"},
       {kAllLinks[0], kAllLinks[1], kAllLinks[3]}},
  };
  const auto& row = rows[GetParam()];
  if (GetParam() == kSound) PlacePackage(kPackage, DamagedPackage(2));
  if (GetParam() == kHelp)
    headless::InjectFailure("RawOpenWrite", std::wstring(kStaging) + L"\\VXR.ch_",
                            platform::kErrorAccessDenied);
  if (GetParam() == kUninstaller)
    headless::InjectFailure("LzOpenFile", std::wstring(kDestination) + L"\\Uninstall VXR.exe",
                            platform::kErrorSharingViolation);
  ASSERT_FALSE(Install());
  EXPECT_EQ(Boxes(), row.boxes);
  for (const auto& box : headless::ShownBoxes()) EXPECT_EQ(box.style, 0x1030u);
  EXPECT_TRUE(TheForm1().Finished());
  ExpectInstalledBut({row.file});
  EXPECT_EQ(Installed(row.file), GetParam() == kSound ? std::optional(Bytes{}) : std::nullopt);
  EXPECT_FALSE(Exists(kStaging));
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
            "\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"");
  EXPECT_EQ(Listing(kGroup), row.links);
}
INSTANTIATE_TEST_SUITE_P(Each, PieceFailureTest, ::testing::Values(kSound, kHelp, kUninstaller));

// Cancel and the close box during the installation, heard at every event
// point: Yes ends the setup where it stands, No lets the installation go on.
constexpr int kEventPoints = 9;  // one per piece, one in the program-group step
const std::wstring kQuestion = L"Screen Recorder: Do you want to cancel the installation?";

// Asks by Cancel at odd event points, by the close box at even ones.
bool AskToClose(platform::Form& wizard, int point, int answer) {
  headless::QueueBoxAnswer(answer);
  return point % 2 ? headless::Click(wizard, "Command3") : headless::PressCloseBox(wizard);
}

class CancelTest : public InstallTest, public ::testing::WithParamInterface<int> {};

TEST_P(CancelTest, YesEndsTheSetupAndKeepsWhatWasWritten) {
  const int at = GetParam();
  ASSERT_TRUE(Install([&](int point) {
    if (point != at) return;
    EXPECT_TRUE(AskToClose(Wizard(), point, platform::kIdYes)) << "not live";
  }));
  ASSERT_EQ(Boxes(), std::vector<std::wstring>{kQuestion});
  EXPECT_EQ(headless::ShownBoxes()[0].style, 0x1124u);
  EXPECT_EQ(Wizard().Text(Form1::Label11), L"Temporary files are being deleted...");
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_FALSE(Exists(kStaging));
  // The pieces expanded before the event point stay; the rest never came.
  for (int i = 0; i < 8; ++i) {
    const auto& file = DemoFiles()[static_cast<std::size_t>(i)];
    EXPECT_EQ(Installed(file.installedName), i < at - 1 ? std::optional(file.bytes) : std::nullopt) << i;
  }
  // The registry step and the group's commands come before the last event point.
  const bool registered = at == kEventPoints;
  EXPECT_EQ(headless::RegistryKeyExists(RootKey::LocalMachine, kProductKey), registered);
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString").has_value(), registered);
  EXPECT_EQ(Listing(kGroup).size(), registered ? 4u : 0u);
}
INSTANTIATE_TEST_SUITE_P(EveryEventPoint, CancelTest, ::testing::Range(1, kEventPoints + 1));

// No at every event point of one installation: each time the wizard is left
// exactly as it was, and the installation goes on to its end.
TEST_F(InstallTest, NoAtEveryEventPointLeavesTheWizardAsItWas) {
  ASSERT_FALSE(Install([this](int point) {
    const WizardState before = StateOf(Wizard());
    EXPECT_TRUE(AskToClose(Wizard(), point, platform::kIdNo)) << "not live at event point " << point;
    EXPECT_TRUE(StateOf(Wizard()) == before) << "the wizard changed behind the refused close at " << point;
  })) << "No ended the setup";
  EXPECT_EQ(points_.size(), static_cast<std::size_t>(kEventPoints));
  EXPECT_EQ(Boxes(), std::vector<std::wstring>(kEventPoints, kQuestion));
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(Wizard().Text(Form1::Label11), kCompleted);
  ExpectInstalledBut();
  EXPECT_FALSE(Exists(kStaging));
  EXPECT_EQ(Listing(kGroup).size(), 4u);
}

}  // namespace
}  // namespace vxr::test
