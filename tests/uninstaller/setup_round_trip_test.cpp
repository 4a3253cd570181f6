// The setup's own registration steps install on the headless platform; the
// uninstaller, given what they left, takes the machine back to where it was.
// This holds the uninstaller to the names the setup really writes: the
// installed files, the keys and the group's links.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ansi_text.h"
#include "platform/headless/registry_store.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"
#include "tests/registration/fake_ui.h"
#include "tests/support/test_machine.h"
#include "tests/uninstaller/fake_system.h"
#include "tools/demo/uninstaller/removal.h"
#include "tools/vxrpack/package.h"

namespace vxr::uninstaller {
namespace {

namespace reg = platform::registry;
using headless::RootKey;

constexpr wchar_t kDir[] = L"C:\\Program Files\\Screen Recorder";

// Copies HKEY_LOCAL_MACHINE's key `path`, its values and everything below it.
void CopyKey(const std::wstring& path, FakeSystem& into) {
  into.AddKey(path);
  for (const std::wstring& name : headless::RegistryValueNames(RootKey::LocalMachine, path)) {
    const auto value = headless::GetRegistryValue(RootKey::LocalMachine, path, name);
    ASSERT_TRUE(value);
    const bool text = value->type == reg::ValueType::Sz;
    std::wstring data =
        text ? platform::FromAnsi({reinterpret_cast<const char*>(value->bytes.data()), value->bytes.size()})
             : std::to_wstring(value->bytes.size()) + L" bytes";
    if (const auto nul = data.find(L'\0'); nul != std::wstring::npos) data.resize(nul);
    if (!text) data += L" of type " + std::to_wstring(static_cast<int>(value->type));
    for (const std::uint8_t byte : value->bytes) data += L" " + std::to_wstring(byte);
    into.SetValue(path, name, data, text);
  }
  reg::Key key;
  ASSERT_EQ(reg::OpenKey(RootKey::LocalMachine, platform::ToAnsi(path), key), reg::kSuccess);
  char name[256];
  for (std::uint32_t i = 0; reg::EnumKey(key, i, name, sizeof name) == reg::kSuccess; ++i)
    CopyKey(path + L"\\" + platform::FromAnsi(name), into);
}

// The machine as the uninstaller sees it: drive C:'s files and the registry.
FakeSystem Snapshot(const test::TestMachine& machine) {
  FakeSystem system;
  const std::filesystem::path drive = machine.Root() / "C";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drive)) {
    std::wstring path = L"C:\\" + entry.path().lexically_relative(drive).wstring();
    for (wchar_t& c : path)
      if (c == L'/') c = L'\\';
    if (entry.is_directory())
      system.AddFolder(path);
    else
      system.AddFile(path);
  }
  CopyKey(L"Software", system);
  system.SetProgramsFolders({platform::ProgramsFolder()});
  return system;
}

TEST(SetupRoundTrip, TheUninstallerRemovesWhatTheSetupsStepsLeft) {
  test::TestMachine machine;
  // Other programs' things, which must all stay.
  machine.MakeFolders(L"C:\\Program Files\\Other App");
  machine.WriteFile(L"C:\\Program Files\\Other App\\other.exe", "MZ");
  machine.MakeFolders(platform::ProgramsFolder() + L"\\Accessories");
  machine.WriteFile(platform::ProgramsFolder() + L"\\Accessories\\Notepad.lnk", "link");
  headless::PutRegistryString(RootKey::LocalMachine, L"Software\\Contoso\\Other", L"Path", L"C:\\Other");
  headless::PutRegistryString(RootKey::LocalMachine,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OtherApp",
                              L"DisplayName", L"Other");
  const auto before = Snapshot(machine).Listing();

  // What the install sequence does: the files, the registry step, the group.
  machine.MakeFolders(kDir);
  for (const std::string_view name : pack::kProductFiles)
    machine.WriteFile(std::wstring(kDir) + L"\\" + std::wstring(name.begin(), name.end()), "demo");
  test::FakeUi ui;
  WriteRegistrySettings(kDir, ui);
  CreateProgramGroup(kDir, ui);
  FakeSystem installed = Snapshot(machine);
  // The steps did install, in the places the uninstaller looks.
  ASSERT_TRUE(installed.KeyExists(kProductKey));
  ASSERT_TRUE(installed.KeyExists(kUninstallKey));
  ASSERT_EQ(installed.Kind(platform::ProgramsFolder() + L"\\Screen Recorder\\VXR Movie Studio.lnk"),
            PathKind::File);

  installed.QueueAnswer(kIdYes);
  EXPECT_EQ(Uninstall(installed, kDir), Outcome::Removed);
  EXPECT_EQ(installed.Listing(), before);
  EXPECT_EQ(installed.Boxes().back().text, L"Tarvo's Screen Recorder was removed.");
}

}  // namespace
}  // namespace vxr::uninstaller
