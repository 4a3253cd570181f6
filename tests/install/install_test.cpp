// The whole installation from a package built by the packing tool, on a
// headless machine: where it runs from, what is in its way, pieces that fail,
// and Cancel, with a look at what the finish page showed at every event point.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <span>

#include "platform/dialogs.h"
#include "platform/headless/registry_store.h"
#include "registration/product_settings.h"
#include "tests/support/pe_builder.h"
#include "tests/wizard/wizard_fixture.h"
#include "tests/wizard/wizard_state.h"
#include "tools/demo/demo_product.h"
#include "tools/vxrpack/package.h"

namespace vxr::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::registry::RootKey;
std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

constexpr wchar_t kDestination[] = L"C:\\Program Files\\Screen Recorder";
constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP";
constexpr wchar_t kPackage[] = L"C:\\SETUP\\VXRSetup.exe";
constexpr wchar_t kGroup[] =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Screen Recorder";
constexpr wchar_t kCompleted[] =
    L"Installation of Screen Recorder has been successfully completed! You can run VXR from the Start Menu.";
const std::vector<std::string> kAllLinks = {"Screen Recorder Help.lnk", "Tarvo's Screen Recorder.lnk",
                                            "Uninstall Screen Recorder.lnk", "VXR Movie Studio.lnk"};

const std::vector<pack::ProductFile>& DemoFiles() {
  static const auto files = demo::DemoProduct();
  return files;
}
const pack::BuiltPackage& DemoPackage() {
  static const pack::BuiltPackage package = [] {
    pack::BuiltPackage built;
    std::string error;
    if (!pack::BuildPackage(MakeStub(), DemoFiles(), built, error)) ADD_FAILURE() << error;
    return built;
  }();
  return package;
}

// What the finish page showed when pending events were processed.
struct EventPoint {
  std::wstring status, file;
  bool cancelLive, backLive, nextLive;
};

class InstallTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    PlacePackage(kPackage, DemoPackage().bytes);
  }
  void PlacePackage(std::wstring_view path, const Bytes& bytes) {
    machine_.MakeFolders(path.substr(0, path.find_last_of(L'\\')));
    machine_.WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    headless::SetRunningExecutable(std::wstring(path));
  }
  // Welcome, licence, destination, then Next, which installs. Every event
  // point is recorded; `atPoint` runs at each, after the record, with its
  // number from 1. True when the program ended inside.
  bool Install(std::function<void(int point)> atPoint = {}) {
    Start();
    GoToPage3();
    Watch(std::move(atPoint));
    bool pressed = false;
    const bool ended = headless::EndsProgram([&] { pressed = Press("Command2"); });
    EXPECT_TRUE(pressed || ended) << "Next could not be pressed on the destination page";
    return ended;
  }
  void Watch(std::function<void(int)> atPoint) {
    headless::QueueEvent([this, atPoint] {
      points_.push_back({Wizard().Text(Form1::Label11), Wizard().Text(Form1::Label12), CanPress("Command3"),
                         CanPress("Command1"), CanPress("Command2")});
      // Next time too; first, because an action that ends the program never returns.
      Watch(atPoint);
      if (atPoint) atPoint(static_cast<int>(points_.size()));
    });
  }
  // The destination holds the first `count` demo files but `missing`, byte
  // for byte, and nothing else.
  void ExpectInstalled(std::size_t count = 8, std::string_view missing = {}) const {
    std::vector<std::string> names;
    for (const auto& file : std::span(DemoFiles()).first(count)) {
      if (file.installedName == missing) continue;
      names.push_back(file.installedName);
      EXPECT_EQ(machine_.ReadFile(std::wstring(kDestination) + L"\\" + Wide(file.installedName)),
                std::string(file.bytes.begin(), file.bytes.end()))
          << file.installedName;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Listing(kDestination), names);
  }
  std::vector<std::string> Listing(std::wstring_view folder) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(machine_.Host(folder), ec))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::wstring> Boxes() const {
    std::vector<std::wstring> boxes;
    for (const auto& box : headless::ShownBoxes()) boxes.push_back(box.title + L": " + box.text);
    return boxes;
  }

  std::vector<EventPoint> points_;
};

// From a drive root, whose folder already ends in a backslash (not to be
// doubled), over the staging folder an interrupted run left, with files longer
// than the pieces and one of another's: reused, and removed at the end.
TEST_F(InstallTest, DemoPackageInstallsOverALeftoverStagingFolder) {
  PlacePackage(L"C:\\VXRSetup.exe", DemoPackage().bytes);
  machine_.MakeFolders(kStaging);
  for (const auto& piece : DemoPackage().pieces)
    machine_.WriteFile(std::wstring(kStaging) + L"\\" + Wide(piece.storedName),
                       std::string(static_cast<std::size_t>(piece.length) + 4096, 'x'));
  machine_.WriteFile(std::wstring(kStaging) + L"\\notes.txt", "left behind");
  ASSERT_FALSE(Install());
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});
  ExpectInstalled();
  EXPECT_FALSE(std::filesystem::exists(machine_.Host(kStaging)));
  EXPECT_EQ(Listing(kGroup), kAllLinks);

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
}

// The setup ends with one message, before any event point, leaving nothing of
// an installation behind.
enum Abandoned { kRenamed, kStagingIsAFile, kNoStaging, kBadTable, kNoDestination };
class AbandonedTest : public InstallTest, public ::testing::WithParamInterface<Abandoned> {};

TEST_P(AbandonedTest, OneMessageAndNothingLeft) {
  std::wstring box = L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!";
  const std::wstring cannot = L" Screen Recorder cannot be installed.";
  Bytes bytes = DemoPackage().bytes;
  std::string error;
  switch (GetParam()) {
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
  EXPECT_EQ(Listing(kDestination), std::vector<std::string>{});
  if (GetParam() == kStagingIsAFile)
    EXPECT_EQ(machine_.ReadFile(kStaging), "not a folder") << "the user's file is left alone";
  else
    EXPECT_FALSE(std::filesystem::exists(machine_.Host(kStaging)));
  EXPECT_FALSE(headless::RegistryKeyExists(RootKey::LocalMachine, L"Software\\Ambretton"));
  EXPECT_FALSE(headless::RegistryKeyExists(RootKey::LocalMachine, kUninstallKey));
  EXPECT_EQ(Listing(kGroup), std::vector<std::string>{});
}
INSTANTIATE_TEST_SUITE_P(Every, AbandonedTest,
                         ::testing::Values(kRenamed, kStagingIsAFile, kNoStaging, kBadTable, kNoDestination));

// A piece other than the main program that fails is reported, and the
// installation goes on to its end without it; the group offers only what is there.
enum Missing { kHelp, kUninstaller };
class PieceFailureTest : public InstallTest, public ::testing::WithParamInterface<Missing> {};

TEST_P(PieceFailureTest, ReportedAndTheInstallationFinishes) {
  const std::wstring staged = L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\";
  const struct {
    std::string file;
    std::vector<std::wstring> boxes;
    std::vector<std::string> links;
  } rows[] = {
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
  ExpectInstalled(8, row.file);
  EXPECT_FALSE(std::filesystem::exists(machine_.Host(kStaging)));
  EXPECT_EQ(Listing(kGroup), row.links);
}
INSTANTIATE_TEST_SUITE_P(Each, PieceFailureTest, ::testing::Values(kHelp, kUninstaller));

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
  EXPECT_EQ(Wizard().Text(Form1::Label11), L"Temporary files are being deleted...");
  EXPECT_FALSE(TheForm1().Finished());
  // The pieces expanded before the event point stay; the rest never came.
  ExpectInstalled(static_cast<std::size_t>(at - 1));
  // The registry step and the group's commands come before the last event point.
  const bool registered = at == kEventPoints;
  EXPECT_EQ(headless::RegistryKeyExists(RootKey::LocalMachine, kProductKey), registered);
  EXPECT_EQ(headless::RegistryKeyExists(RootKey::LocalMachine, kUninstallKey), registered);
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
}

}  // namespace
}  // namespace vxr::test
