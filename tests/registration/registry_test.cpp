#include "registration/registry.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/headless/registry_store.h"
#include "tests/registration/registry_checks.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

using platform::registry::ValueType;
using test::kLm;
constexpr wchar_t kKey[] = L"Software\\Test";

const test::RegistryUnderTest kHeadless{
    [](std::wstring_view key, std::wstring_view name, const test::RawValue& value) {
      const std::vector<std::uint8_t> bytes(value.bytes.begin(), value.bytes.end());
      headless::PutRegistryValue(kLm, key, name, static_cast<ValueType>(value.type), bytes);
    },
    [](std::wstring_view key) { headless::PutRegistryKey(kLm, key); },
    [](std::wstring_view key, std::wstring_view name) -> std::optional<test::RawValue> {
      const auto value = headless::GetRegistryValue(kLm, key, name);
      if (!value) return std::nullopt;
      return test::RawValue{static_cast<std::uint32_t>(value->type),
                            {value->bytes.begin(), value->bytes.end()}};
    }};

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(headless::OpenRegistryKeyCount(), 0) << "a key was left open";
    EXPECT_TRUE(headless::ShownBoxes().empty());
  }
  test::TestMachine machine_;
};

TEST_F(RegistryTest, ReadersTakeOnlyTheirOwnType) {
  test::CheckReaders(kHeadless, kKey);
  EXPECT_EQ(GetRegString(kLm, L"Software\\Nowhere", L"Empty"), L"");
  EXPECT_EQ(GetRegDWord(kLm, L"Software\\Nowhere", L"Ten"), 0);
}

// Texts pass the A calls in the ANSI code page: a Turkish Windows keeps the
// Turkish letters, a Western one (as under Wine here) their base letters.
TEST_F(RegistryTest, TextsGoThroughTheAnsiCodePage) {
  for (const auto& [codePage, kept] : {std::pair{1254u, L"Dizin ğüşıöç İ"}, {1252u, L"Dizin güsiöç I"}}) {
    headless::SetAnsiCodePage(codePage);
    SaveRegString(kLm, kKey, L"Türkçe", L"Dizin ğüşıöç İ");
    EXPECT_EQ(GetRegString(kLm, L"SOFTWARE\\test", L"türkçe", L"def"), kept) << codePage;
  }
}

TEST_F(RegistryTest, WritersStoreTypedValuesWithoutTheNul) { test::CheckWriters(kHeadless, kKey); }

TEST_F(RegistryTest, SubKeysListInWindowsOrderUpToTheBufferLimit) { test::CheckListing(kHeadless, kKey); }

TEST(RegistryRefusedTest, RefusedWritesShowTheirOwnMessageOnly) {
  test::TestMachine machine;
  headless::PutRegistryKey(kLm, L"Software\\Existing");
  headless::RefuseRegistryWrites(kLm, L"Software");
  CreateRegKey(kLm, L"Software\\Refused");
  SaveRegString(kLm, L"Software\\Refused", L"S", L"x");
  SaveRegDWord(kLm, L"Software\\Refused", L"D", 1);
  // An existing key opens, but the write into it is refused all the same.
  CreateRegKey(kLm, L"Software\\Existing");
  SaveRegString(kLm, L"Software\\Existing", L"S", L"x");

  std::vector<std::wstring> texts;
  for (const auto& box : headless::ShownBoxes()) {
    texts.push_back(box.text);
    EXPECT_EQ(box.title, L"Hata - Error");
    EXPECT_EQ(box.style, 0x1030u);
  }
  EXPECT_EQ(texts,
            (std::vector<std::wstring>{test::kKeyMessage, test::kStringMessage, test::kStringMessage}));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, L"Software\\Refused"));
  EXPECT_TRUE(headless::RegistryValueNames(kLm, L"Software\\Existing").empty());
  EXPECT_EQ(headless::OpenRegistryKeyCount(), 0);
}

}  // namespace
}  // namespace vxr
