// The wizard's load handler: the path globals, the earlier installation's
// directory, and the refusal to start beside a running product.
#include <optional>

#include "platform/dialogs.h"
#include "platform/headless/registry_store.h"
#include "tests/wizard/wizard_fixture.h"
#include "wizard/form2.h"
#include "wizard/running_product.h"

namespace vxr::test {
namespace {

using platform::registry::RootKey;

constexpr wchar_t kVendorKey[] = L"Software\\Ambretton";
constexpr wchar_t kDefault[] = L"C:\\Program Files\\Screen Recorder";
const std::wstring kSettings = L"Screen Recorder Settings";

// Each case but the first has other products' keys beside the one named,
// as a machine with several of the vendor's products.
TEST_F(WizardTest, EarlierInstallationIsProposedOnlyWhenItsDirectoryExists) {
  const struct {
    const char* name;
    const wchar_t* subkey;              // nullptr: no vendor key
    std::optional<std::wstring> dizin;  // nullopt: none
    bool folderExists;                  // D:\Apps\SR
    const wchar_t* proposed = kDefault;
  } cases[] = {
      {"no vendor key", nullptr, std::nullopt, true},
      {"product key in lower case", L"vxr", L"D:\\Apps\\SR", true},
      {"no Dizin", L"VXR", std::nullopt, true},
      {"Dizin empty", L"VXR", L"", true},
      {"Dizin removed", L"VXR", L"D:\\Apps\\SR", false},
      {"Dizin exists", L"VXR", L"  D:\\Apps\\SR ", true, L"D:\\Apps\\SR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    TestMachine machine;
    machine.AddDrive(L'D');
    if (c.folderExists) machine.MakeFolders(L"D:\\Apps\\SR");
    if (c.subkey) {
      const std::wstring key = std::wstring(kVendorKey) + L"\\" + c.subkey;
      for (const auto& k : {std::wstring(kVendorKey) + L"\\Alpha", std::wstring(kVendorKey) + L"\\Zeta", key})
        headless::PutRegistryKey(RootKey::LocalMachine, k);
      if (c.dizin) headless::PutRegistryString(RootKey::LocalMachine, key, L"Dizin", *c.dizin);
    }
    Start();
    EXPECT_EQ(InstallDir.Trimmed(), c.proposed);
    EXPECT_EQ(Wizard().Text(Form1::Label10), c.proposed);
    EXPECT_TRUE(headless::ShownBoxes().empty()) << "the registry's outcomes are silent";
    EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
  }
}

// The temporary folder is taken whole, however long; one the system cannot
// give, or that is not there, gives way to the Windows folder's "Temp" (never
// a drive root).
TEST_F(WizardTest, SystemDirectoriesLoseOneTrailingBackslashAndTheTemporaryFolderIsNeverLost) {
  const std::wstring deep = L"C:\\Users\\Test\\" + std::wstring(200, L'T');
  const struct {
    std::wstring temp, windows, tempDir, windowsDrive, defaultDir;
  } cases[] = {
      {L"C:\\WINDOWS\\TEMP\\", L"C:\\", L"C:\\WINDOWS\\TEMP", L"C:", kDefault},
      {deep + L"\\", L"D:\\WINNT\\", deep, L"D:\\WINNT", L"D:\\Program Files\\Screen Recorder"},
      {L"", L"C:\\WINDOWS", L"C:\\WINDOWS\\Temp", L"C:\\WINDOWS", kDefault},
      {L"C:\\Gone\\", L"C:\\WINDOWS", L"C:\\WINDOWS\\Temp", L"C:\\WINDOWS", kDefault},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.temp.begin(), c.temp.end()));
    ResetProgram();
    machine_.MakeFolders(deep);
    headless::SetTempPath(c.temp);
    headless::SetWindowsDirectory(c.windows);
    Start();
    EXPECT_EQ(TempDir, c.tempDir);
    EXPECT_EQ(WindowsDrive, c.windowsDrive);
    EXPECT_EQ(InstallDir.Trimmed(), c.defaultDir) << "the default destination takes the drive only";
  }
}

// Titles are read into a buffer of 128 (127 characters and the call's NUL)
// and trimmed. The walk meets the setup's own forms too: were either of their
// titles a product title, one product window alone would look like both.
TEST_F(WizardTest, RunningProductNeedsBothWindowsWithExactTitlesAndIsReported) {
  const std::wstring pad(102, L' ');
  const struct {
    const char* name;
    std::vector<std::wstring> windows;
    bool running;
  } cases[] = {
      {"main window only", {L"Tarvo's Screen Recorder", L"", L"VXR"}, false},
      {"settings window only", {kSettings}, false},
      {"titles with blanks around", {kSettings + L" ", L"  VXR"}, true},
      // Each title alone in another case: a compare that ignored case for one would pass the other.
      {"main title in another case", {L"vxr", kSettings}, false},
      {"settings title in another case", {L"VXR", L"screen recorder settings"}, false},
      {"longer titles", {L"Tarvo's Screen Recorder 2", L"Screen Recorder Settings - VXR"}, false},
      {"a difference in the buffer's last place", {L"VXR", kSettings + pad + L"x"}, false},
      {"a difference just past the buffer", {L"VXR", kSettings + pad + L" x"}, true},
      {"the wizard's own title", {Form1::kCaption, kSettings}, false},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    headless::SetOtherWindows(c.windows);
    EXPECT_EQ(ProductIsRunning(Wizard()), c.running);
  }

  // Beside the running product the box's text, OK asking again and Cancel
  // ending the setup are tests/wine/e2e/startup_exit.sh's; here its style
  // (Cancel the default) and the backdrop it stands over.
  ResetProgram();
  headless::SetOtherWindows({L"Tarvo's Screen Recorder", kSettings});
  headless::SetBoxResponder([&](const headless::ShownBox& box) {
    EXPECT_EQ(box.style, 0x131u);
    EXPECT_TRUE(headless::IsShown(TheForm2().Window()));
    return platform::kIdCancel;
  });
  EXPECT_TRUE(headless::EndsProgram([&] { Main(); }));
  EXPECT_EQ(headless::ShownBoxes().size(), 1u);
}

}  // namespace
}  // namespace vxr::test
