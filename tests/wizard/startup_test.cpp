// The wizard's load handler: the path globals, the earlier installation's
// directory, and the refusal to start beside a running product.
#include <optional>

#include "platform/dialogs.h"
#include "platform/headless/registry_store.h"
#include "platform/window_list.h"
#include "tests/wizard/wizard_fixture.h"
#include "wizard/form2.h"
#include "wizard/running_product.h"

namespace vxr::test {
namespace {

using platform::registry::RootKey;
using platform::registry::ValueType;

constexpr wchar_t kVendorKey[] = L"Software\\Ambretton";
constexpr wchar_t kProductKey[] = L"Software\\Ambretton\\VXR";
constexpr wchar_t kDefault[] = L"C:\\Program Files\\Screen Recorder";
constexpr wchar_t kRunningText[] =
    L"Tarvo's Screen Recorder is currently running, please close it before starting to install.\r\n\r\n"
    L"Press on OK button to continue...";
const std::wstring kSettings = L"Screen Recorder Settings";

// ---- The earlier installation ----------------------------------------------------

struct RegistryCase {
  const char* name;
  void (*prepare)(TestMachine&);
  const wchar_t* expected;
};

void PutDizin(std::wstring_view text) {
  headless::PutRegistryString(RootKey::LocalMachine, kProductKey, L"Dizin", text);
}

const RegistryCase kRegistryCases[] = {
    {"no vendor key", [](TestMachine&) {}, kDefault},
    {"vendor key without subkeys",
     [](TestMachine&) { headless::PutRegistryKey(RootKey::LocalMachine, kVendorKey); }, kDefault},
    {"another product only",
     [](TestMachine& m) {
       m.MakeFolders(L"D:\\Apps\\SR");
       headless::PutRegistryString(RootKey::LocalMachine, L"Software\\Ambretton\\VXR2", L"Dizin",
                                   L"D:\\Apps\\SR");
     },
     kDefault},
    {"product key in lower case",
     [](TestMachine& m) {
       m.MakeFolders(L"D:\\Apps\\SR");
       headless::PutRegistryString(RootKey::LocalMachine, L"Software\\Ambretton\\vxr", L"Dizin",
                                   L"D:\\Apps\\SR");
     },
     kDefault},
    {"no Dizin",
     [](TestMachine&) { headless::PutRegistryDWord(RootKey::LocalMachine, kProductKey, L"Version", 10); },
     kDefault},
    {"Dizin a number",
     [](TestMachine&) { headless::PutRegistryDWord(RootKey::LocalMachine, kProductKey, L"Dizin", 4); },
     kDefault},
    {"Dizin of another text type",
     [](TestMachine& m) {
       m.MakeFolders(L"D:\\Apps\\SR");
       const std::string bytes("D:\\Apps\\SR", 11);
       headless::PutRegistryValue(RootKey::LocalMachine, kProductKey, L"Dizin", ValueType::ExpandSz,
                                  {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
     },
     kDefault},
    {"Dizin empty", [](TestMachine&) { PutDizin(L""); }, kDefault},
    {"Dizin blanks", [](TestMachine&) { PutDizin(L"   "); }, kDefault},
    {"Dizin removed", [](TestMachine&) { PutDizin(L"D:\\Apps\\SR"); }, kDefault},
    {"Dizin exists",
     [](TestMachine& m) {
       m.MakeFolders(L"D:\\Apps\\SR");
       PutDizin(L"D:\\Apps\\SR");
     },
     L"D:\\Apps\\SR"},
    {"Dizin exists, among other products and with blanks",
     [](TestMachine& m) {
       m.MakeFolders(L"D:\\Apps\\SR");
       headless::PutRegistryKey(RootKey::LocalMachine, L"Software\\Ambretton\\Alpha");
       headless::PutRegistryKey(RootKey::LocalMachine, L"Software\\Ambretton\\Zeta");
       PutDizin(L"  D:\\Apps\\SR ");
     },
     L"D:\\Apps\\SR"},
};

TEST_F(WizardTest, EarlierInstallationIsProposedOnlyWhenItsDirectoryExists) {
  for (const auto& c : kRegistryCases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    headless::Reset();
    TestMachine machine;
    machine.AddDrive(L'D');
    c.prepare(machine);
    Start();
    EXPECT_EQ(InstallDir.Trimmed(), c.expected);
    EXPECT_EQ(Wizard().Text(Form1::Label10), c.expected);
    EXPECT_TRUE(headless::ShownBoxes().empty()) << "the registry's outcomes are silent";
    EXPECT_EQ(WizardPage, 1);
    EXPECT_TRUE(headless::IsShown(Wizard()));
    EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
  }
}

TEST_F(WizardTest, DefaultDestinationFollowsTheWindowsDrive) {
  machine_.AddDrive(L'D');
  headless::SetWindowsDirectory(L"D:\\WINNT");
  Start();
  EXPECT_EQ(InstallDir.Trimmed(), L"D:\\Program Files\\Screen Recorder");
}

// ---- The system's directories ------------------------------------------------------

TEST_F(WizardTest, SystemDirectoriesLoseOneTrailingBackslash) {
  // "C:\" and 141 of these, with the call's NUL, fill the 145-character buffer.
  const std::wstring fits(142, L'T');
  struct Case {
    std::wstring temp, windows, tempDir, windowsDrive, staging;
  } cases[] = {
      {L"C:\\TEMP\\", L"C:\\WINDOWS", L"C:\\TEMP", L"C:\\WINDOWS", L"C:\\TEMP\\VXRTMP"},
      {L"C:\\WINDOWS\\TEMP\\", L"C:\\", L"C:\\WINDOWS\\TEMP", L"C:", L"C:\\WINDOWS\\TEMP\\VXRTMP"},
      {L"C:\\TEMP\\\\", L"C:\\WINDOWS\\", L"C:\\TEMP\\", L"C:\\WINDOWS", L"C:\\TEMP\\\\VXRTMP"},
      {L"C:\\" + fits.substr(1), L"C:\\WINDOWS", L"C:\\" + fits.substr(1), L"C:\\WINDOWS", L""},
      // One character more does not fit the buffer: the call leaves it empty.
      {L"C:\\" + fits, L"C:\\WINDOWS", L"", L"C:\\WINDOWS", L"\\VXRTMP"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.temp.begin(), c.temp.end()));
    ResetProgram();
    headless::SetTempPath(c.temp);
    headless::SetWindowsDirectory(c.windows);
    Start();
    EXPECT_EQ(TempDir.Trimmed(), c.tempDir);
    EXPECT_EQ(WindowsDrive, c.windowsDrive);
    if (!c.staging.empty()) {
      EXPECT_EQ(StagingFolder(), c.staging);
    }
    EXPECT_EQ(InstallDir.Trimmed(), kDefault) << "the default destination takes the drive only";
  }
}

// ---- Window titles -----------------------------------------------------------------

// The titles as the check reads them, the setup's own forms first.
std::vector<std::wstring> TitlesAsRead(const platform::Form& from) {
  std::vector<std::wstring> titles;
  for (auto w = platform::FirstTopLevelWindow(from); w != 0; w = platform::NextWindow(w))
    titles.push_back(ReadWindowTitle(w));
  return titles;
}

TEST_F(WizardTest, TitlesAreReadIntoABufferOf128AndTrimmed) {
  const std::wstring longTitle = L"VXR" + std::wstring(197, L'x');
  Start();
  headless::SetOtherWindows({L"", L"  VXR", L"Screen Recorder Settings ", std::wstring(127, L'a'),
                             std::wstring(128, L'b'), longTitle, kSettings + std::wstring(110, L' ') + L"x"});
  const auto titles = TitlesAsRead(Wizard());
  ASSERT_EQ(titles.size(), 9u);
  EXPECT_EQ(titles[0], Form1::kCaption);
  EXPECT_EQ(titles[1], L"Screen Recorder Setup");
  EXPECT_EQ(titles[2], L"");
  EXPECT_EQ(titles[3], L"VXR");
  EXPECT_EQ(titles[4], kSettings);
  EXPECT_EQ(titles[5], std::wstring(127, L'a'));
  EXPECT_EQ(titles[6], std::wstring(127, L'b')) << "cut to the buffer, less the call's NUL";
  EXPECT_EQ(titles[7], longTitle.substr(0, 127));
  EXPECT_EQ(titles[8], kSettings) << "what was cut off was all the title differed in";
}

TEST_F(WizardTest, RunningProductNeedsBothWindowsWithExactTitles) {
  const std::wstring pad(110, L' ');
  struct Case {
    const char* name;
    std::vector<std::wstring> windows;
    bool running;
  } cases[] = {
      {"main window only", {L"Tarvo's Screen Recorder"}, false},
      {"short main title only", {L"VXR"}, false},
      {"settings window only", {kSettings}, false},
      {"both", {L"Tarvo's Screen Recorder", L"Notepad", kSettings}, true},
      {"short main title and settings", {kSettings, L"VXR"}, true},
      {"settings title with a trailing blank", {L"VXR", kSettings + L" "}, true},
      {"main title with leading blanks", {L"   Tarvo's Screen Recorder", kSettings}, true},
      {"titles in another case", {L"vxr", L"screen recorder settings"}, false},
      {"longer titles", {L"Tarvo's Screen Recorder 2", L"Screen Recorder Settings - VXR"}, false},
      {"a difference the buffer still holds", {L"VXR", kSettings + std::wstring(90, L' ') + L"x"}, false},
      {"a difference past the buffer", {L"VXR", kSettings + pad + L"x"}, true},
      {"the wizard's own title", {Form1::kCaption, kSettings}, false},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    headless::SetOtherWindows(c.windows);
    EXPECT_EQ(ProductIsRunning(Wizard()), c.running);
  }
}

TEST_F(WizardTest, SetupsOwnWindowsNeverMatch) {
  // Each of the product's windows alone beside the setup's own: were either of
  // the setup's titles a product title, this would look like a running product.
  for (const std::wstring other : {L"Tarvo's Screen Recorder", L"VXR", L"Screen Recorder Settings"}) {
    ResetProgram();
    headless::ClearShownBoxes();
    headless::SetOtherWindows({other});
    Start();
    EXPECT_TRUE(headless::ShownBoxes().empty());
    const auto titles = TitlesAsRead(Wizard());
    EXPECT_EQ(titles.size(), 3u) << "the walk meets the wizard and the backdrop too";
  }
  EXPECT_EQ(headless::FindForm(L"Screen Recorder Setup"), &TheForm2().Window());
}

// ---- The running-copy box -------------------------------------------------------------

void ExpectRunningBox(const headless::ShownBox& box) {
  EXPECT_EQ(box.text, kRunningText);
  EXPECT_EQ(box.style, 0x131u);
  EXPECT_EQ(box.title, L"Screen Recorder");
}

TEST_F(WizardTest, OkAfterClosingTheProductStartsTheWizard) {
  headless::SetOtherWindows({L"Tarvo's Screen Recorder", kSettings});
  int boxes = 0;
  bool wizardShownAtBox = true;
  headless::SetBoxResponder([&](const headless::ShownBox&) {
    wizardShownAtBox = headless::IsShown(TheForm1().Window());
    // The first OK comes too soon: the product still runs. Then it is closed.
    if (++boxes == 2) headless::SetOtherWindows({L"Notepad"});
    return platform::kIdOk;
  });
  Start();
  ASSERT_EQ(headless::ShownBoxes().size(), 2u);
  for (const auto& box : headless::ShownBoxes()) ExpectRunningBox(box);
  EXPECT_FALSE(wizardShownAtBox) << "the box stands over the backdrop alone";
  EXPECT_TRUE(headless::IsShown(TheForm2().Window()));
  EXPECT_TRUE(headless::IsShown(Wizard()));
  EXPECT_EQ(WizardPage, 1);
  EXPECT_EQ(VisiblePage(), 1);
  EXPECT_EQ(Wizard().Text(Form1::Label10), kDefault);
  EXPECT_EQ(Wizard().Text(Form1::Command2), L"Next >>");
  EXPECT_FALSE(headless::ProgramHasEnded());
}

TEST_F(WizardTest, CancelBesideTheRunningProductEndsWithoutAQuestion) {
  headless::SetOtherWindows({kSettings, L"VXR"});
  // Enter takes the default button, Cancel; an explicit Cancel does the same.
  for (const std::optional<int> answer : {std::optional<int>{}, std::optional<int>{platform::kIdCancel}}) {
    ResetProgram();
    headless::ClearShownBoxes();
    if (answer) headless::QueueBoxAnswer(*answer);
    EXPECT_TRUE(headless::EndsProgram([&] { Main(); }));
    ASSERT_EQ(headless::ShownBoxes().size(), 1u) << "no question whether to cancel";
    ExpectRunningBox(headless::ShownBoxes()[0]);
    EXPECT_EQ(TheForm1().Window().Text(Form1::Command2), Form1::kFinish);
    EXPECT_FALSE(headless::IsShown(TheForm1().Window()));
    EXPECT_TRUE(headless::StartedPrograms().empty());
  }
}

}  // namespace
}  // namespace vxr::test
