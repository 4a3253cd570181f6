#include "registration/product_settings.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/headless/registry_store.h"
#include "registration/registry.h"
#include "tests/registration/fake_ui.h"
#include "tests/registration/registry_checks.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

using platform::registry::ValueType;
using test::kLm;
using Bytes = std::vector<std::uint8_t>;

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
    EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
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
  EXPECT_EQ(Sz(kUninstallKey, L"DisplayName"), "Tarvo's Screen Recorder");
  // Quoted: Windows runs it as a command line, and the path has spaces.
  EXPECT_EQ(Sz(kUninstallKey, L"UninstallString"),
            "\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"");
  EXPECT_EQ(headless::RegistryValueNames(kLm, kProductKey),
            (std::vector<std::wstring>{L"Dizin", L"Version", L"IncCur", L"dwKFE"}));
  EXPECT_TRUE(headless::ShownBoxes().empty());
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
  EXPECT_EQ(Sz(kUninstallKey, L"UninstallString"), "\"E:\\VXR\\Uninstall VXR.exe\"");
  EXPECT_EQ(GetRegString(kLm, kUninstallKey, L"Publisher"), L"Ambretton");
}

// Only a stored DWORD 70 moves the desktop rate; only a DWORD other than 0 keeps the frame setting.
TEST_F(ProductSettingsTest, StoredSettingsOfOtherValuesOrTypes) {
  const struct {
    const wchar_t* name;
    ValueType type;
    Bytes stored, after;
  } cases[] = {
      {L"FullDesktopRate", ValueType::DWord, {50, 0, 0, 0}, {50, 0, 0, 0}},
      {L"FullDesktopRate", ValueType::DWord, {100, 0, 0, 0}, {100, 0, 0, 0}},
      {L"FullDesktopRate", ValueType::Sz, {'7', '0', 0}, {'7', '0', 0}},
      {L"dwKFE", ValueType::DWord, {0, 0, 0, 0}, {10, 0, 0, 0}},
      {L"dwKFE", ValueType::Sz, {'2', '5'}, {10, 0, 0, 0}},
      {L"dwKFE", ValueType::Binary, {25, 0, 0, 0}, {10, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    headless::Reset();
    headless::PutRegistryValue(kLm, kProductKey, c.name, c.type, c.stored);
    Run();
    const auto value = headless::GetRegistryValue(kLm, kProductKey, c.name);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->bytes, c.after) << static_cast<int>(c.type) << " " << int{c.stored[0]};
    EXPECT_EQ(value->type, c.after.size() == 4 ? ValueType::DWord : ValueType::Sz);
  }
}

TEST_F(ProductSettingsTest, UnwritableMachineGivesFiveMessagesAndGoesOn) {
  headless::RefuseRegistryWrites(kLm, L"Software");
  Run();

  std::vector<std::wstring> texts;
  for (const auto& box : headless::ShownBoxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{test::kKeyMessage, test::kStringMessage, test::kKeyMessage,
                                              test::kStringMessage, test::kStringMessage}));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, L"Software\\Ambretton"));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, kUninstallKey));
}

}  // namespace
}  // namespace vxr
