#include "registration/registry.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/headless/registry_store.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

using headless::RegistryCalls;
using platform::registry::ValueType;
constexpr RootKey kLm = RootKey::LocalMachine;
constexpr wchar_t kKey[] = L"Software\\Test";
constexpr wchar_t kKeyMessage[] = L"Registry anahtarı oluşturulamadı. Registry key could not be created!";
constexpr wchar_t kStringMessage[] =
    L"Registry'e string yazılamadı! Registry value(string) could not be written!";

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(headless::OpenRegistryKeyCount(), 0) << "a key was left open"; }
  test::TestMachine machine_;
};

TEST_F(RegistryTest, GetRegStringReadsOnlyRegSzUpToTheFirstNul) {
  headless::PutRegistryString(kLm, kKey, L"Empty", L"", false);
  headless::PutRegistryString(kLm, kKey, L"EmptyWithNul", L"", true);
  headless::PutRegistryString(kLm, kKey, L"NoNul", L"C:\\Program Files\\X", false);
  headless::PutRegistryValue(kLm, kKey, L"Embedded", ValueType::Sz, Bytes(std::string_view("ab\0cd\0", 6)));
  headless::PutRegistryValue(kLm, kKey, L"Expand", ValueType::ExpandSz,
                             Bytes(std::string_view("%TEMP%\0", 7)));
  headless::PutRegistryValue(kLm, kKey, L"Multi", ValueType::MultiSz, Bytes(std::string_view("a\0b\0\0", 5)));
  headless::PutRegistryDWord(kLm, kKey, L"Number", 10);
  headless::PutRegistryString(kLm, kKey, L"Türkçe", L"Dizin ğüşıöç İ", true);

  EXPECT_EQ(GetRegString(kLm, kKey, L"Empty", L"def"), L"");
  EXPECT_EQ(GetRegString(kLm, kKey, L"EmptyWithNul", L"def"), L"");
  EXPECT_EQ(GetRegString(kLm, kKey, L"NoNul", L"def"), L"C:\\Program Files\\X");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Embedded", L"def"), L"ab");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Expand", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Multi", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Number", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, kKey, L"türkçe", L"def"), L"Dizin ğüşıöç İ");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Missing", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, L"Software\\Nowhere", L"Empty", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, L"Software\\Nowhere", L"Empty"), L"");
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(RegistryTest, GetRegDWordReadsOnlyRegDword) {
  headless::PutRegistryDWord(kLm, kKey, L"Ten", 10);
  headless::PutRegistryDWord(kLm, kKey, L"Negative", 0xFFFFFFFEu);
  headless::PutRegistryString(kLm, kKey, L"Text", L"10");
  headless::PutRegistryValue(kLm, kKey, L"Binary", ValueType::Binary, std::vector<std::uint8_t>{10, 0, 0, 0});

  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Ten", -5), 10);
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Negative", 0), -2);
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Text", -5), -5);
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Binary", -5), -5);
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Missing", -5), -5);
  EXPECT_EQ(GetRegDWord(kLm, L"Software\\Nowhere", L"Ten"), 0);
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(RegistryTest, WritersStoreTypedValuesWithoutTheNul) {
  headless::PutRegistryString(kLm, kKey, L"Was", L"text");
  headless::PutRegistryString(kLm, kKey, L"Other", L"kept");
  SaveRegDWord(kLm, kKey, L"Was", 7);
  SaveRegString(kLm, L"Software\\New\\Deep", L"Empty", L"");
  SaveRegString(kLm, kKey, L"Path", L"C:\\Program Files\\Screen Recorder");

  EXPECT_EQ(headless::GetRegistryValue(kLm, kKey, L"Was")->type, ValueType::DWord);
  EXPECT_EQ(headless::GetRegistryValue(kLm, kKey, L"Was")->bytes, (std::vector<std::uint8_t>{7, 0, 0, 0}));
  const auto empty = headless::GetRegistryValue(kLm, L"Software\\New\\Deep", L"Empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->type, ValueType::Sz);
  EXPECT_TRUE(empty->bytes.empty());
  EXPECT_EQ(headless::GetRegistryValue(kLm, kKey, L"Path")->bytes,
            Bytes("C:\\Program Files\\Screen Recorder"));
  EXPECT_EQ(GetRegString(kLm, kKey, L"Other"), L"kept");
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

TEST_F(RegistryTest, RoutinesMakeTheirCallsInOrderAndCloseTheirKeys) {
  headless::PutRegistryString(kLm, kKey, L"S", L"x");
  headless::PutRegistryKey(kLm, L"Software\\Test\\Sub");
  using Calls = std::vector<std::string>;

  headless::ClearRegistryCalls();
  CreateRegKey(kLm, kKey);
  EXPECT_EQ(RegistryCalls(), (Calls{"RegCreateKeyA", "RegCloseKey"}));
  headless::ClearRegistryCalls();
  GetRegString(kLm, kKey, L"S");
  EXPECT_EQ(RegistryCalls(), (Calls{"RegOpenKeyA", "RegQueryValueExA", "RegQueryValueExA", "RegCloseKey"}));
  headless::ClearRegistryCalls();
  SaveRegString(kLm, kKey, L"S", L"y");
  EXPECT_EQ(RegistryCalls(), (Calls{"RegCreateKeyA", "RegSetValueExA", "RegCloseKey"}));
  headless::ClearRegistryCalls();
  GetRegDWord(kLm, kKey, L"S");
  EXPECT_EQ(RegistryCalls(), (Calls{"RegOpenKeyA", "RegQueryValueExA", "RegCloseKey"}));
  headless::ClearRegistryCalls();
  SaveRegDWord(kLm, kKey, L"D", 1);
  EXPECT_EQ(RegistryCalls(), (Calls{"RegCreateKeyA", "RegSetValueExA", "RegCloseKey"}));
  headless::ClearRegistryCalls();
  EnumRegSubKeys(kLm, kKey);
  EXPECT_EQ(RegistryCalls(), (Calls{"RegOpenKeyA", "RegEnumKeyA", "RegEnumKeyA", "RegCloseKey"}));
}

TEST_F(RegistryTest, RefusedWritesShowTheirOwnMessageOnly) {
  headless::PutRegistryKey(kLm, L"Software\\Existing");
  headless::RefuseRegistryWrites(kLm, L"Software");

  CreateRegKey(kLm, L"Software\\Refused");
  SaveRegString(kLm, L"Software\\Refused", L"S", L"x");
  SaveRegDWord(kLm, L"Software\\Refused", L"D", 1);
  // An existing key opens, but the write into it is refused all the same.
  CreateRegKey(kLm, L"Software\\Existing");
  SaveRegString(kLm, L"Software\\Existing", L"S", L"x");

  const auto& boxes = headless::ShownBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, kKeyMessage);
  EXPECT_EQ(boxes[1].text, kStringMessage);
  EXPECT_EQ(boxes[2].text, kStringMessage);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.title, L"Hata - Error");
    EXPECT_EQ(box.style, 0x1030u);
  }
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, L"Software\\Refused"));
  EXPECT_TRUE(headless::RegistryValueNames(kLm, L"Software\\Existing").empty());
}

TEST_F(RegistryTest, EnumRegSubKeysListsInWindowsOrderOrGivesItsCodes) {
  EXPECT_EQ(EnumRegSubKeys(kLm, L"Software\\Ambretton").code, SubKeyListing::kCannotOpen);
  headless::PutRegistryKey(kLm, L"Software\\Ambretton");
  EXPECT_EQ(EnumRegSubKeys(kLm, L"Software\\Ambretton").code, SubKeyListing::kNoSubKeys);

  headless::PutRegistryKey(kLm, L"Software\\Ambretton\\zeta");
  headless::PutRegistryKey(kLm, L"Software\\Ambretton\\VXR");
  headless::PutRegistryKey(kLm, L"software\\AMBRETTON\\Alpha");
  headless::PutRegistryKey(kLm, L"Software\\Ambretton\\vxr\\Inner");
  const auto listing = EnumRegSubKeys(kLm, L"SOFTWARE\\ambretton");
  ASSERT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, (std::vector<std::wstring>{L"Alpha", L"VXR", L"zeta"}));
}

TEST_F(RegistryTest, EnumRegSubKeysStopsAtANameLongerThanItsBuffer) {
  // The buffer holds 255 characters with the NUL: 254 fit, 255 don't.
  const std::wstring fits = L"A" + std::wstring(253, L'x');
  const std::wstring tooLong = L"B" + std::wstring(254, L'x');
  headless::PutRegistryKey(kLm, L"Software\\Long\\" + fits);
  headless::PutRegistryKey(kLm, L"Software\\Long\\" + tooLong);
  headless::PutRegistryKey(kLm, L"Software\\Long\\C");
  const auto listing = EnumRegSubKeys(kLm, L"Software\\Long");
  ASSERT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, std::vector<std::wstring>{fits});

  headless::PutRegistryKey(kLm, L"Software\\First\\" + tooLong);
  headless::PutRegistryKey(kLm, L"Software\\First\\C");
  EXPECT_EQ(EnumRegSubKeys(kLm, L"Software\\First").code, SubKeyListing::kNoSubKeys);
}

}  // namespace
}  // namespace vxr
