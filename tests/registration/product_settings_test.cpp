#include "registration/product_settings.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/headless/registry_store.h"
#include "registration/registry.h"
#include "tests/registration/fake_ui.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

using platform::registry::ValueType;
constexpr RootKey kLm = RootKey::LocalMachine;
constexpr wchar_t kKeyMessage[] = L"Registry anahtarı oluşturulamadı. Registry key could not be created!";
constexpr wchar_t kStringMessage[] =
    L"Registry'e string yazılamadı! Registry value(string) could not be written!";

std::optional<std::uint32_t> DWord(std::wstring_view key, std::wstring_view name) {
  const auto value = headless::GetRegistryValue(kLm, key, name);
  if (!value || value->type != ValueType::DWord || value->bytes.size() != 4) return std::nullopt;
  return value->bytes[0] | (value->bytes[1] << 8) | (value->bytes[2] << 16) |
         (std::uint32_t{value->bytes[3]} << 24);
}

// The exact bytes of a REG_SZ value: the setup stores no NUL.
std::optional<std::string> Sz(std::wstring_view key, std::wstring_view name) {
  const auto value = headless::GetRegistryValue(kLm, key, name);
  if (!value || value->type != ValueType::Sz) return std::nullopt;
  return std::string(value->bytes.begin(), value->bytes.end());
}

class ProductSettingsTest : public ::testing::Test {
 protected:
  void Run(std::wstring_view installDir = L"C:\\Program Files\\Screen Recorder") {
    WriteRegistrySettings(installDir, ui_);
  }
  test::TestMachine machine_;
  test::FakeUi ui_;
};

TEST_F(ProductSettingsTest, FirstInstallationWritesBothKeys) {
  Run(L"C:\\Program Files\\Screen Recorder" + std::wstring(200, L' '));

  EXPECT_EQ(ui_.log, std::vector<std::wstring>{L"status: Registry settings are being done..."});
  EXPECT_EQ(Sz(kProductKey, L"Dizin"), "C:\\Program Files\\Screen Recorder");
  EXPECT_EQ(DWord(kProductKey, L"Version"), 10u);
  EXPECT_EQ(DWord(kProductKey, L"IncCur"), 1u);
  EXPECT_EQ(DWord(kProductKey, L"dwKFE"), 10u);
  EXPECT_FALSE(headless::GetRegistryValue(kLm, kProductKey, L"FullDesktopRate"));
  EXPECT_EQ(Sz(kUninstallKey, L"DisplayName"), "Tarvo's Screen Recorder");
  EXPECT_EQ(Sz(kUninstallKey, L"UninstallString"), "C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe");
  EXPECT_EQ(headless::RegistryValueNames(kLm, kProductKey),
            (std::vector<std::wstring>{L"Dizin", L"Version", L"IncCur", L"dwKFE"}));
  EXPECT_TRUE(headless::ShownBoxes().empty());
  EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
}

TEST_F(ProductSettingsTest, EarlierInstallationKeepsTheProductsOwnSettings) {
  headless::PutRegistryString(kLm, kProductKey, L"Dizin", L"D:\\Old");
  headless::PutRegistryDWord(kLm, kProductKey, L"Version", 9);
  headless::PutRegistryDWord(kLm, kProductKey, L"IncCur", 0);
  headless::PutRegistryDWord(kLm, kProductKey, L"dwKFE", 25);
  headless::PutRegistryDWord(kLm, kProductKey, L"FullDesktopRate", 70);
  headless::PutRegistryString(kLm, kProductKey, L"LastFolder", L"D:\\Movies");
  headless::PutRegistryString(kLm, kUninstallKey, L"DisplayName", L"Old name");
  headless::PutRegistryString(kLm, kUninstallKey, L"Publisher", L"Ambretton");
  Run(L"  E:\\VXR  ");

  EXPECT_EQ(Sz(kProductKey, L"Dizin"), "E:\\VXR");
  EXPECT_EQ(DWord(kProductKey, L"Version"), 10u);
  EXPECT_EQ(DWord(kProductKey, L"IncCur"), 1u);
  EXPECT_EQ(DWord(kProductKey, L"dwKFE"), 25u);
  EXPECT_EQ(DWord(kProductKey, L"FullDesktopRate"), 100u);
  EXPECT_EQ(GetRegString(kLm, kProductKey, L"LastFolder"), L"D:\\Movies");
  EXPECT_EQ(Sz(kUninstallKey, L"DisplayName"), "Tarvo's Screen Recorder");
  EXPECT_EQ(Sz(kUninstallKey, L"UninstallString"), "E:\\VXR\\Uninstall VXR.exe");
  EXPECT_EQ(GetRegString(kLm, kUninstallKey, L"Publisher"), L"Ambretton");
}

TEST_F(ProductSettingsTest, OnlyAStoredSeventyMovesTheDesktopRate) {
  struct Case {
    const char* what;
    std::function<void()> store;
    std::optional<std::uint32_t> dword;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"50 stays", [] { headless::PutRegistryDWord(kLm, kProductKey, L"FullDesktopRate", 50); }, 50u, {}},
      {"100 stays", [] { headless::PutRegistryDWord(kLm, kProductKey, L"FullDesktopRate", 100); }, 100u, {}},
      {"text 70 stays",
       [] { headless::PutRegistryString(kLm, kProductKey, L"FullDesktopRate", L"70"); },
       {},
       std::string("70\0", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    c.store();
    Run();
    EXPECT_EQ(DWord(kProductKey, L"FullDesktopRate"), c.dword);
    EXPECT_EQ(Sz(kProductKey, L"FullDesktopRate"), c.text);
  }
}

TEST_F(ProductSettingsTest, ZeroOrMistypedFrameSettingGetsTheDefault) {
  const std::function<void()> stores[] = {
      [] { headless::PutRegistryDWord(kLm, kProductKey, L"dwKFE", 0); },
      [] { headless::PutRegistryString(kLm, kProductKey, L"dwKFE", L"25"); },
      [] {
        headless::PutRegistryValue(kLm, kProductKey, L"dwKFE", ValueType::Binary,
                                   std::vector<std::uint8_t>{25, 0, 0, 0});
      },
  };
  for (const auto& store : stores) {
    headless::Reset();
    store();
    Run();
    EXPECT_EQ(DWord(kProductKey, L"dwKFE"), 10u);
  }
}

TEST_F(ProductSettingsTest, UnwritableMachineGivesFiveMessagesAndGoesOn) {
  headless::RefuseRegistryWrites(kLm, L"Software");
  Run();

  std::vector<std::wstring> texts;
  for (const auto& box : headless::ShownBoxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{kKeyMessage, kStringMessage, kKeyMessage, kStringMessage,
                                              kStringMessage}));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, L"Software\\Ambretton"));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, kUninstallKey));
  EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
}

}  // namespace
}  // namespace vxr
