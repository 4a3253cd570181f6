// The whole installation from a package built by the packing tool, on a
// headless machine: where it runs from, what is in its way, pieces that fail,
// an earlier installation it replaces, and Cancel, with a look at what the
// finish page showed at every event point. Whatever ends it before the
// finished state leaves the machine as it was before Next.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <span>

#include "codec/szdd_expander.h"
#include "common/crc32.h"
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

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, std::string>;  // name: Summary(bytes)
using platform::registry::RootKey;
std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

constexpr wchar_t kDestination[] = L"C:\\Program Files\\Screen Recorder";
constexpr wchar_t kTemp[] = L"C:\\WINDOWS\\TEMP";
constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP";
constexpr wchar_t kPackage[] = L"C:\\SETUP\\VXRSetup.exe";
constexpr wchar_t kGroup[] =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Screen Recorder";
constexpr wchar_t kCompleted[] =
    L"Installation of Screen Recorder has been successfully completed! You can run VXR from the Start Menu.";
const std::vector<std::string> kAllLinks = {"Screen Recorder Help.lnk", "Tarvo's Screen Recorder.lnk",
                                            "Uninstall Screen Recorder.lnk", "VXR Movie Studio.lnk"};
const std::wstring kQuestion = L"Screen Recorder: Do you want to cancel the installation?";
constexpr int kEventPoints = 9;  // one per piece, one in the program-group step

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
std::string AsText(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }
// A file's bytes as a failure message can show them: short ones whole.
std::string Summary(const std::string& bytes) {
  if (bytes.size() <= 48) return bytes;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return std::to_string(bytes.size()) + " bytes, CRC " + std::to_string(Crc32({data, bytes.size()}));
}
// The demo product's files, or an earlier installation's ("earlier <name>").
Files Product(bool earlier = false) {
  Files files;
  for (const auto& file : DemoFiles())
    files[file.installedName] = Summary(earlier ? "earlier " + file.installedName
                                                : std::string(file.bytes.begin(), file.bytes.end()));
  return files;
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
  // An earlier installation in the destination: its files, settings,
  // uninstall entry and group, each of its own.
  void InstallEarlier() {
    machine_.MakeFolders(kDestination);
    for (const auto& [name, bytes] : Product(true)) machine_.WriteFile(Path(name), bytes);
    headless::PutRegistryString(RootKey::LocalMachine, kProductKey, L"Dizin", kDestination, false);
    headless::PutRegistryDWord(RootKey::LocalMachine, kProductKey, L"Version", 9);
    headless::PutRegistryDWord(RootKey::LocalMachine, kProductKey, L"FullDesktopRate", 70);
    headless::PutRegistryString(RootKey::LocalMachine, kUninstallKey, L"UninstallString", L"earlier");
    machine_.MakeFolders(kGroup);
    machine_.WriteFile(std::wstring(kGroup) + L"\\Tarvo's Screen Recorder.lnk", "earlier link");
  }
  static std::wstring Path(std::string_view name) { return std::wstring(kDestination) + L"\\" + Wide(name); }

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

  // Every file of a folder with its bytes; nothing for a folder that is not there.
  Files Contents(std::wstring_view folder) const {
    Files files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(machine_.Host(folder), ec))
      if (entry.is_regular_file())
        files[entry.path().filename().string()] = Summary(AsText(test::ReadFile(entry.path())));
    return files;
  }
  // Every name in a folder, folders and links included.
  std::vector<std::string> Names(std::wstring_view folder) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(machine_.Host(folder), ec))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The product's registry values, as type and bytes.
  static std::vector<std::string> Registry() {
    std::vector<std::string> values;
    for (const wchar_t* key : {kVendorKey, kProductKey, kUninstallKey}) {
      if (!headless::RegistryKeyExists(RootKey::LocalMachine, key)) continue;
      values.push_back("key");
      for (const auto& name : headless::RegistryValueNames(RootKey::LocalMachine, key)) {
        const auto value = headless::GetRegistryValue(RootKey::LocalMachine, key, name);
        values.push_back(std::to_string(static_cast<int>(value->type)) + ":" +
                         std::string(value->bytes.begin(), value->bytes.end()));
      }
    }
    return values;
  }
  std::vector<std::wstring> Boxes() const {
    std::vector<std::wstring> boxes;
    for (const auto& box : headless::ShownBoxes()) boxes.push_back(box.title + L": " + box.text);
    return boxes;
  }
  // The machine as far as the installation may touch it.
  struct Machine {
    Files destination, group;
    std::vector<std::string> registry;
    bool programFiles;
    bool operator==(const Machine&) const = default;
  };
  Machine Now() const {
    return {Contents(kDestination), Contents(kGroup), Registry(),
            fs::exists(machine_.Host(L"C:\\Program Files"))};
  }

  std::vector<EventPoint> points_;
};

// From a drive root, whose folder already ends in a backslash, under a name
// that is not ".exe"; the staging name taken by a file: the run stages in a
// folder of its own, leaves the file as it was, and removes its own at the
// end. (The name taken by a link to another's folder: install_test.sh signed.)
TEST_F(InstallTest, DemoPackageInstallsWhateverItIsCalledAndWhateverHoldsTheStagingName) {
  PlacePackage(L"C:\\VXRSetup.exe.part", DemoPackage().bytes);
  machine_.WriteFile(kStaging, "a file");
  ASSERT_FALSE(Install());
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});
  EXPECT_EQ(Contents(kDestination), Product());
  EXPECT_EQ(Names(kGroup), kAllLinks);
  EXPECT_EQ(machine_.ReadFile(kStaging), "a file");
  EXPECT_EQ(Names(kTemp), std::vector<std::string>{"VXRTMP"});

  // One event point per piece, showing the file about to be expanded, and one
  // in the program-group step; Cancel is live at each, Back and Next are not.
  ASSERT_EQ(points_.size(), 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(points_[i].status, i < 8 ? L"Files are being copied into temporary folder and are being "
                                         L"expanded into install directory..."
                                       : L"Shortcuts are being created...");
    EXPECT_EQ(points_[i].file, i < 8 ? Path(DemoFiles()[i].installedName) : L"");
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

// The setup ends with one message, leaving nothing of an installation
// behind: not even the destination folder and "Program Files" it made.
enum Abandoned { kNoStaging, kBadTable, kNoDestination, kDamaged, kCutShort };
class AbandonedTest : public InstallTest, public ::testing::WithParamInterface<Abandoned> {};

TEST_P(AbandonedTest, OneMessageAndNothingLeft) {
  const std::wstring cannot = L" Screen Recorder cannot be installed.";
  const std::wstring damaged =
      L"Error: The setup file 'C:\\SETUP\\VXRSetup.exe' is damaged. Please download it again.";
  Bytes bytes = DemoPackage().bytes;
  std::wstring box = damaged;
  std::string error;
  switch (GetParam()) {
    case kNoStaging:
      headless::InjectFailure("MakeDirectory", kStaging, platform::kErrorAccessDenied);
      box =
          L"Screen Recorder: The temporary folder 'C:\\WINDOWS\\TEMP\\VXRTMP' could not be created!" + cannot;
      break;
    case kBadTable:
      bytes[*pack::LocateTable(bytes, error) + offsetof(payload::Table, version)] ^= 0x7F;
      box = L"Screen Recorder: This setup program is damaged: the list of its files cannot be read!" + cannot;
      break;
    case kNoDestination:  // made (or vanished) before the sequence: the expansion names the file
      headless::InjectFailure("MakeDirectory", kDestination, platform::kErrorAccessDenied, 2);
      box =
          L"ExpandFiles - Hata!: 'C:\\Program Files\\Screen Recorder\\Screen Recorder.exe' isimli dosya "
          L"için yol geçersiz!";
      break;
    case kDamaged:  // the main program's piece ends the file
      bytes[bytes.size() - 100] ^= 0x5A;
      break;
    case kCutShort:  // a download that stopped after the setup program itself
      bytes.resize(DemoPackage().stubSize);
      break;
  }
  PlacePackage(kPackage, bytes);
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{box});
  EXPECT_EQ(headless::ShownBoxes().at(0).style, 0x1030u);
  // The first event point comes between the main program's extraction and its expansion.
  EXPECT_EQ(points_.size(), GetParam() == kNoDestination ? 1u : 0u);
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_EQ(Now(), Machine{});
  EXPECT_EQ(Names(kTemp), std::vector<std::string>{});
}
INSTANTIATE_TEST_SUITE_P(Every, AbandonedTest,
                         ::testing::Values(kNoStaging, kBadTable, kNoDestination, kDamaged, kCutShort));

// Over an earlier installation, a piece other than the main program that
// fails is reported and its earlier file stays whole; the installation goes
// on to its end with the rest, and nothing is kept aside or half written. (A
// damaged piece, and a full disk at the main program: install_test.sh damaged.)
enum Failing { kNone, kHelpUnwritable, kStartUnwritable, kHelpInUse };
class ReinstallTest : public InstallTest, public ::testing::WithParamInterface<Failing> {};

TEST_P(ReinstallTest, FailingPiecesKeepTheirEarlierFile) {
  const std::wstring help = Path("VXR.chm");
  const struct {
    std::string kept;  // the earlier file that stays
    std::vector<std::wstring> boxes;
  } rows[] = {
      {"", {}},
      // Not extracted, so not expanded either.
      {"VXR.chm",
       {L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\VXR.ch_' could not be written!",
        L"Screen Recorder: VXR help file could not be extracted!"}},
      // A write that fails half-way, as on a full disk.
      {"Start.wav",
       {L"ExpandFiles - Hata!: Hedef dosyaya yazılamıyor!",
        L"Screen Recorder: File 'Start.wav' could not be expanded!"}},
      // Open in a viewer that does not share it: the new help file cannot take its place.
      {"VXR.chm",
       {L"ExpandFiles - Hata!: '" + help + L"' isimli dosya kullanımda!",
        L"Screen Recorder: VXR help file could not be expanded!"}},
  };
  const auto& row = rows[GetParam()];
  InstallEarlier();
  if (GetParam() == kHelpUnwritable)
    headless::InjectFailure("RawOpenWrite", std::wstring(kStaging) + L"\\VXR.ch_",
                            platform::kErrorAccessDenied);
  if (GetParam() == kHelpInUse)
    headless::InjectFailure("MoveReplacing", help, platform::kErrorSharingViolation);
  ASSERT_FALSE(Install([&](int point) {
    if (GetParam() == kStartUnwritable && point == 3) headless::FailNextLzCopy(szdd::kLzErrorWrite);
  }));
  EXPECT_EQ(Boxes(), row.boxes);
  for (const auto& box : headless::ShownBoxes()) EXPECT_EQ(box.style, 0x1030u);
  EXPECT_TRUE(TheForm1().Finished());
  Files expected = Product();
  if (!row.kept.empty()) expected[row.kept] = Product(true)[row.kept];
  EXPECT_EQ(Contents(kDestination), expected);
  EXPECT_EQ(Names(kGroup), kAllLinks);
  EXPECT_EQ(Names(kTemp), std::vector<std::string>{});
}
INSTANTIATE_TEST_SUITE_P(Each, ReinstallTest,
                         ::testing::Values(kNone, kHelpUnwritable, kStartUnwritable, kHelpInUse));

// Cancel and the close box during the installation, heard at every event
// point: Yes leaves the machine exactly as it was before Next, on a first
// installation and over an earlier one; No lets the installation go on.

// Asks by Cancel at odd event points, by the close box at even ones.
bool AskToClose(platform::Form& wizard, int point, int answer) {
  headless::QueueBoxAnswer(answer);
  return point % 2 ? headless::Click(wizard, "Command3") : headless::PressCloseBox(wizard);
}

class CancelTest : public InstallTest, public ::testing::WithParamInterface<std::tuple<bool, int>> {};

TEST_P(CancelTest, YesLeavesTheMachineAsItWas) {
  const auto [earlier, at] = GetParam();
  if (earlier) InstallEarlier();
  const Machine before = Now();
  ASSERT_TRUE(Install([&](int point) {
    if (point != at) return;
    EXPECT_TRUE(AskToClose(Wizard(), point, platform::kIdYes)) << "not live";
  }));
  ASSERT_EQ(Boxes(), std::vector<std::wstring>{kQuestion});
  EXPECT_EQ(Wizard().Text(Form1::Label11), L"Temporary files are being deleted...");
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(Names(kTemp), std::vector<std::string>{});
}
INSTANTIATE_TEST_SUITE_P(EveryEventPoint, CancelTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Range(1, kEventPoints + 1)));

// What cannot be set back is said, and kept: an earlier file that cannot take
// its name again stays under the name it was kept by.
TEST_F(InstallTest, ARestoreThatFailsIsReportedAndTheEarlierFileKept) {
  InstallEarlier();
  const std::wstring stop = Path("Stop.wav");
  ASSERT_TRUE(Install([&](int point) {
    if (point != kEventPoints) return;
    headless::InjectFailure("MoveReplacing", stop, platform::kErrorAccessDenied);
    AskToClose(Wizard(), point, platform::kIdYes);
  }));
  EXPECT_EQ(Boxes(), (std::vector<std::wstring>{
                         kQuestion,
                         L"Screen Recorder: Screen Recorder could not set everything back as it was "
                         L"before the installation:\r\n\r\n" +
                             stop + L": the earlier file is kept as " + stop + L".vxr-old"}));
  Files expected = Product(true);
  expected["Stop.wav"] = Product()["Stop.wav"];
  expected["Stop.wav.vxr-old"] = Product(true)["Stop.wav"];
  EXPECT_EQ(Contents(kDestination), expected);
}

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
