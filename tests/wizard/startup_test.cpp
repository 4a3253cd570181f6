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

constexpr wchar_t kVendorKey[] = L"Software\\Ambretton";
constexpr wchar_t kProductKey[] = L"Software\\Ambretton\\VXR";
constexpr wchar_t kDefault[] = L"C:\\Program Files\\Screen Recorder";
constexpr wchar_t kRunningText[] =
    L"Tarvo's Screen Recorder is currently running, please close it before starting to install.\r\n\r\n"
    L"Press on OK button to continue...";
const std::wstring kSettings = L"Screen Recorder Settings";

// ---- The earlier installation ----------------------------------------------------

// Each case but the first two has the vendor key with other products' keys
// around the one named, as a machine with several of the vendor's products.
struct RegistryCase {
  const char* name;
  const wchar_t* subkey;  // nullptr: no vendor key; empty: a vendor key without subkeys
  enum { kNone, kText, kNumber } dizin;
  const wchar_t* text;
  bool folderExists;  // D:\Apps\SR
  const wchar_t* proposed = kDefault;
};
const RegistryCase kRegistryCases[] = {
    {"no vendor key", nullptr, RegistryCase::kNone, L"", true},
    {"vendor key without subkeys", L"", RegistryCase::kNone, L"", true},
    {"product key in lower case", L"vxr", RegistryCase::kText, L"D:\\Apps\\SR", true},
    {"no Dizin", L"VXR", RegistryCase::kNone, L"", true},
    {"Dizin a number", L"VXR", RegistryCase::kNumber, L"", true},
    {"Dizin empty", L"VXR", RegistryCase::kText, L"", true},
    {"Dizin removed", L"VXR", RegistryCase::kText, L"D:\\Apps\\SR", false},
    {"Dizin exists", L"VXR", RegistryCase::kText, L"  D:\\Apps\\SR ", true, L"D:\\Apps\\SR"},
};

TEST_F(WizardTest, EarlierInstallationIsProposedOnlyWhenItsDirectoryExists) {
  for (const auto& c : kRegistryCases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    headless::Reset();
    TestMachine machine;
    machine.AddDrive(L'D');
    if (c.folderExists) machine.MakeFolders(L"D:\\Apps\\SR");
    if (c.subkey) headless::PutRegistryKey(RootKey::LocalMachine, kVendorKey);
    if (c.subkey && *c.subkey) {
      const std::wstring key = std::wstring(kVendorKey) + L"\\" + c.subkey;
      for (const auto* other : {L"\\Alpha", L"\\Zeta"})
        headless::PutRegistryKey(RootKey::LocalMachine, kVendorKey + std::wstring(other));
      headless::PutRegistryKey(RootKey::LocalMachine, key);
      if (c.dizin == RegistryCase::kText)
        headless::PutRegistryString(RootKey::LocalMachine, key, L"Dizin", c.text);
      if (c.dizin == RegistryCase::kNumber)
        headless::PutRegistryDWord(RootKey::LocalMachine, key, L"Dizin", 4);
    }
    Start();
    EXPECT_EQ(InstallDir.Trimmed(), c.proposed);
    EXPECT_EQ(Wizard().Text(Form1::Label10), c.proposed);
    EXPECT_TRUE(headless::ShownBoxes().empty()) << "the registry's outcomes are silent";
    EXPECT_EQ(WizardPage, 1);
    EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
  }
}

// ---- The system's directories ------------------------------------------------------

TEST_F(WizardTest, SystemDirectoriesLoseOneTrailingBackslash) {
  // "C:\" and 141 of these, with the call's NUL, fill the 145-character buffer.
  const std::wstring fits(142, L'T');
  struct Case {
    std::wstring temp, windows, tempDir, windowsDrive, staging, defaultDir;
  } cases[] = {
      {L"C:\\TEMP\\", L"C:\\WINDOWS", L"C:\\TEMP", L"C:\\WINDOWS", L"C:\\TEMP\\VXRTMP", kDefault},
      {L"C:\\WINDOWS\\TEMP\\", L"C:\\", L"C:\\WINDOWS\\TEMP", L"C:", L"C:\\WINDOWS\\TEMP\\VXRTMP", kDefault},
      {L"C:\\TEMP\\\\", L"D:\\WINNT\\", L"C:\\TEMP\\", L"D:\\WINNT", L"C:\\TEMP\\\\VXRTMP",
       L"D:\\Program Files\\Screen Recorder"},
      {L"C:\\" + fits.substr(1), L"C:\\WINDOWS", L"C:\\" + fits.substr(1), L"C:\\WINDOWS", L"", kDefault},
      // One character more does not fit the buffer: the call leaves it empty.
      {L"C:\\" + fits, L"C:\\WINDOWS", L"", L"C:\\WINDOWS", L"\\VXRTMP", kDefault},
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
    EXPECT_EQ(InstallDir.Trimmed(), c.defaultDir) << "the default destination takes the drive only";
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
      {"main window only", {L"Tarvo's Screen Recorder", L"VXR"}, false},
      {"settings window only", {kSettings}, false},
      {"both", {L"Tarvo's Screen Recorder", L"Notepad", kSettings}, true},
      {"short main title, settings title with a trailing blank", {kSettings + L" ", L"VXR"}, true},
      {"titles in another case", {L"vxr", L"screen recorder settings"}, false},
      {"longer titles", {L"Tarvo's Screen Recorder 2", L"Screen Recorder Settings - VXR"}, false},
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
