// Checks of the registry routines that must hold alike on the headless
// registry and on Wine's: each registry only says how to store and read raw values.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "registration/registry.h"

namespace vxr::test {

using namespace std::string_literals;
constexpr RootKey kLm = RootKey::LocalMachine;

struct RawValue {
  std::uint32_t type;  // REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3, REG_DWORD 4, REG_MULTI_SZ 7
  std::string bytes;
};
struct RegistryUnderTest {
  void (*put)(std::wstring_view key, std::wstring_view name, const RawValue& value);
  void (*putKey)(std::wstring_view key);
  std::string (*stored)(std::wstring_view key, std::wstring_view name);  // a value's bytes
};

// Readers: only REG_SZ reads as text, up to its first NUL, with or without
// one; only REG_DWORD as a number. Writers: a text goes with its NUL, into
// keys made on the way (the settings' checks write the rest). `key` must not
// exist yet.
inline void CheckValues(const RegistryUnderTest& registry, std::wstring_view key) {
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
      {L"Ten", {4, "\x0a\0\0\0"s}, L"def", 10},
      {L"Negative", {4, "\xfe\xff\xff\xff"}, L"def", -2},
      {L"Binary", {3, "\x0a\0\0\0"s}, L"def", -5},
      {L"Missing", {0, ""}, L"def", -5},
  };
  const std::wstring nowhere = std::wstring(key) + L"\\Nowhere", deep = std::wstring(key) + L"\\A\\B";
  for (const auto& c : cases)
    if (c.stored.type) registry.put(key, c.name, c.stored);
  for (const auto& c : cases) {
    EXPECT_EQ(GetRegString(kLm, key, c.name, L"def"), c.text) << c.name;
    EXPECT_EQ(GetRegDWord(kLm, key, c.name, -5), c.number) << c.name;
    EXPECT_EQ(GetRegString(kLm, nowhere, c.name, L"def"), L"def");
    EXPECT_EQ(GetRegDWord(kLm, nowhere, c.name, -5), -5);
  }
  SaveRegString(kLm, deep, L"Empty", L"");
  SaveRegString(kLm, deep, L"Text", L"C:\\X");
  EXPECT_EQ(GetRegString(kLm, deep, L"Empty", L"def"), L"");
  EXPECT_EQ(registry.stored(deep, L"Empty"), "\0"s);
  EXPECT_EQ(registry.stored(deep, L"Text"), "C:\\X\0"s);
}

// Subkeys list in the registry's order, until a name that does not fit the
// routine's buffer of 255 characters with the NUL: 254 fit, 255 don't.
inline void CheckListing(const RegistryUnderTest& registry, std::wstring_view key) {
  EXPECT_EQ(EnumRegSubKeys(kLm, key).code, SubKeyListing::kCannotOpen);
  registry.putKey(key);
  EXPECT_EQ(EnumRegSubKeys(kLm, key).code, SubKeyListing::kNoSubKeys);
  const std::wstring base = std::wstring(key) + L"\\", fits = L"B" + std::wstring(253, L'x');
  for (const std::wstring name : {L"zeta", L"VXR", L"VXR\\Inner", L"Alpha"}) registry.putKey(base + name);
  EXPECT_EQ(EnumRegSubKeys(kLm, key).names, (std::vector<std::wstring>{L"Alpha", L"VXR", L"zeta"}));
  registry.putKey(base + fits);
  registry.putKey(base + L"C" + std::wstring(254, L'x'));
  const auto listing = EnumRegSubKeys(kLm, key);
  EXPECT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, (std::vector<std::wstring>{L"Alpha", fits}));
  registry.putKey(base + L"Alpha\\" + L"C" + std::wstring(254, L'x'));
  registry.putKey(base + L"Alpha\\D");
  EXPECT_EQ(EnumRegSubKeys(kLm, base + L"Alpha").code, SubKeyListing::kNoSubKeys);
}

}  // namespace vxr::test
