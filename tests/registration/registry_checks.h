// Checks of the registry routines that must hold alike on the headless
// registry and on Wine's: each registry only says how to store and read raw values.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "registration/registry.h"

namespace vxr::test {

constexpr RootKey kLm = RootKey::LocalMachine;
constexpr wchar_t kKeyMessage[] = L"Registry anahtarı oluşturulamadı. Registry key could not be created!";
constexpr wchar_t kStringMessage[] =
    L"Registry'e string yazılamadı! Registry value(string) could not be written!";

struct RawValue {
  std::uint32_t type;  // REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3, REG_DWORD 4, REG_MULTI_SZ 7
  std::string bytes;
};
struct RegistryUnderTest {
  void (*put)(std::wstring_view key, std::wstring_view name, const RawValue& value);
  void (*putKey)(std::wstring_view key);
  std::optional<RawValue> (*get)(std::wstring_view key, std::wstring_view name);
};

// Only REG_SZ reads as text, up to its first NUL; only REG_DWORD as a number.
inline void CheckReaders(const RegistryUnderTest& registry, std::wstring_view key) {
  using namespace std::string_literals;
  const struct {
    const wchar_t* name;
    RawValue stored;
    const wchar_t* text;
    std::int32_t number;
  } cases[] = {
      {L"Empty", {1, ""}, L"", -5},
      {L"EmptyWithNul", {1, "\0"s}, L"", -5},
      {L"NoNul", {1, "C:\\Program Files\\X"}, L"C:\\Program Files\\X", -5},
      {L"Embedded", {1, "ab\0cd\0"s}, L"ab", -5},
      {L"Expand", {2, "%TEMP%\0"s}, L"def", -5},
      {L"Multi", {7, "a\0b\0\0"s}, L"def", -5},
      {L"Ten", {4, "\x0a\0\0\0"s}, L"def", 10},
      {L"Negative", {4, "\xfe\xff\xff\xff"s}, L"def", -2},
      {L"Binary", {3, "\x0a\0\0\0"s}, L"def", -5},
  };
  for (const auto& c : cases) registry.put(key, c.name, c.stored);
  const std::wstring nowhere = std::wstring(key) + L"\\Nowhere";
  for (const auto& c : cases) {
    EXPECT_EQ(GetRegString(kLm, key, c.name, L"def"), c.text) << c.name;
    EXPECT_EQ(GetRegDWord(kLm, key, c.name, -5), c.number) << c.name;
    EXPECT_EQ(GetRegString(kLm, nowhere, c.name, L"def"), L"def");
    EXPECT_EQ(GetRegDWord(kLm, nowhere, c.name, -5), -5);
  }
  EXPECT_EQ(GetRegString(kLm, key, L"Missing", L"def"), L"def");
  EXPECT_EQ(GetRegDWord(kLm, key, L"Missing", -5), -5);
}

// Texts go without their NUL; a number replaces a value of another type.
inline void CheckWriters(const RegistryUnderTest& registry, std::wstring_view key) {
  using namespace std::string_literals;
  const std::wstring deep = std::wstring(key) + L"\\A\\B";
  registry.put(key, L"Other", {1, "kept"});
  SaveRegString(kLm, key, L"Kind", L"text");
  SaveRegDWord(kLm, key, L"Kind", -2);
  SaveRegString(kLm, deep, L"Empty", L"");
  SaveRegString(kLm, key, L"Path", L"C:\\Program Files\\Screen Recorder");
  const struct {
    std::wstring key;
    const wchar_t* name;
    std::optional<RawValue> value;
  } cases[] = {
      {std::wstring(key), L"Kind", RawValue{4, "\xfe\xff\xff\xff"s}},
      {deep, L"Empty", RawValue{1, ""}},
      {std::wstring(key), L"Path", RawValue{1, "C:\\Program Files\\Screen Recorder"}},
      {std::wstring(key), L"Other", RawValue{1, "kept"}},
  };
  for (const auto& c : cases) {
    const auto got = registry.get(c.key, c.name);
    ASSERT_TRUE(got) << c.name;
    EXPECT_EQ(got->type, c.value->type) << c.name;
    EXPECT_EQ(got->bytes, c.value->bytes) << c.name;
  }
}

// Subkeys list in the registry's order, until a name that does not fit the
// routine's buffer of 255 characters with the NUL: 254 fit, 255 don't.
inline void CheckListing(const RegistryUnderTest& registry, std::wstring_view key) {
  EXPECT_EQ(EnumRegSubKeys(kLm, key).code, SubKeyListing::kCannotOpen);
  registry.putKey(key);
  EXPECT_EQ(EnumRegSubKeys(kLm, key).code, SubKeyListing::kNoSubKeys);
  const std::wstring base = std::wstring(key) + L"\\", fits = L"B" + std::wstring(253, L'x');
  for (const std::wstring name : {L"zeta", L"VXR", L"VXR\\Inner", L"Alpha"}) registry.putKey(base + name);
  auto listing = EnumRegSubKeys(kLm, key);
  ASSERT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, (std::vector<std::wstring>{L"Alpha", L"VXR", L"zeta"}));

  registry.putKey(base + fits);
  registry.putKey(base + L"C" + std::wstring(254, L'x'));
  listing = EnumRegSubKeys(kLm, key);
  ASSERT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, (std::vector<std::wstring>{L"Alpha", fits}));

  registry.putKey(base + L"Alpha\\" + L"C" + std::wstring(254, L'x'));
  registry.putKey(base + L"Alpha\\D");
  EXPECT_EQ(EnumRegSubKeys(kLm, base + L"Alpha").code, SubKeyListing::kNoSubKeys);
}

}  // namespace vxr::test
