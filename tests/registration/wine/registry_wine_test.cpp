// The registry routines against a real registry. A small harness of its own:
// GoogleTest does not build with this MinGW's win32 thread model.
#include <windows.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "registration/registry.h"

namespace {

int failures = 0;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}
std::string Show(const std::wstring& text) { return '"' + Narrow(text) + '"'; }
std::string Show(const std::vector<std::wstring>& list) {
  std::string out = "{";
  for (const auto& name : list) out += Show(name) + " ";
  return out + "}";
}
template <typename T>
std::string Show(const T& value) {
  return std::to_string(value);
}

template <typename A>
void Expect(const A& actual, const std::type_identity_t<A>& expected, const char* what, int line) {
  if (actual == expected) return;
  ++failures;
  std::printf("line %d: %s: expected %s, got %s\n", line, what, Show(expected).c_str(), Show(actual).c_str());
}

}  // namespace

#define EXPECT_EQ(actual, expected) Expect((actual), (expected), #actual, __LINE__)
#define ASSERT_EQ(actual, expected) EXPECT_EQ(actual, expected)
#define EXPECT_TRUE(value) Expect(bool(value), true, #value, __LINE__)
#define EXPECT_FALSE(value) Expect(bool(value), false, #value, __LINE__)
#define ASSERT_TRUE(value) EXPECT_TRUE(value)

namespace vxr {
namespace {

constexpr RootKey kLm = RootKey::LocalMachine;
constexpr wchar_t kKey[] = L"Software\\VxrRegistryTest";

// Values put in place directly, in the same view the routines use.
struct Registry {
  static void Remove() {
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software) == 0) {
      RegDeleteTreeW(software, L"VxrRegistryTest");
      RegCloseKey(software);
    }
  }
  static void Put(std::wstring_view key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, std::wstring(key).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &handle, nullptr),
              0L);
    if (!handle) return;
    ASSERT_EQ(RegSetValueExA(handle, Narrow(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
              0L);
    RegCloseKey(handle);
  }
  static bool ExistsInView(const wchar_t* key, REGSAM view) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &handle) != 0) return false;
    RegCloseKey(handle);
    return true;
  }
};
void Put(std::wstring_view key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  Registry::Put(key, name, type, data, size);
}
bool ExistsInView(const wchar_t* key, REGSAM view) { return Registry::ExistsInView(key, view); }

void TextsAreReadOnlyFromRegSzUpToTheFirstNul() {
  Put(kKey, L"Empty", REG_SZ, "", 0);
  Put(kKey, L"NoNul", REG_SZ, "C:\\Program Files\\X", 18);
  Put(kKey, L"Embedded", REG_SZ, "ab\0cd", 6);
  Put(kKey, L"Expand", REG_EXPAND_SZ, "%TEMP%", 7);
  Put(kKey, L"Multi", REG_MULTI_SZ, "a\0b\0", 5);
  const DWORD ten = 10;
  Put(kKey, L"Number", REG_DWORD, &ten, 4);

  EXPECT_EQ(GetRegString(kLm, kKey, L"Empty", L"def"), L"");
  EXPECT_EQ(GetRegString(kLm, kKey, L"NoNul", L"def"), L"C:\\Program Files\\X");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Embedded", L"def"), L"ab");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Expand", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Multi", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Number", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Missing", L"def"), L"def");
  EXPECT_EQ(GetRegString(kLm, L"Software\\VxrRegistryTest\\Nowhere", L"Empty", L"def"), L"def");
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Number", -1), 10);
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"NoNul", -1), -1);
  EXPECT_EQ(GetRegDWord(kLm, L"Software\\VxrRegistryTest\\Nowhere", L"Number", -1), -1);
}

void WritersLandInTheThirtyTwoBitView() {
  CreateRegKey(kLm, L"Software\\VxrRegistryTest\\A\\B");
  SaveRegString(kLm, kKey, L"Dizin", L"C:\\Program Files\\Screen Recorder");
  SaveRegString(kLm, kKey, L"Empty", L"");
  SaveRegString(kLm, kKey, L"Kind", L"text");
  SaveRegDWord(kLm, kKey, L"Kind", -2);

  EXPECT_EQ(GetRegString(kLm, kKey, L"Dizin"), L"C:\\Program Files\\Screen Recorder");
  EXPECT_EQ(GetRegString(kLm, kKey, L"Empty", L"def"), L"");
  EXPECT_EQ(GetRegDWord(kLm, kKey, L"Kind"), -2);
  EXPECT_EQ(GetRegString(kLm, kKey, L"Kind", L"def"), L"def");
  EXPECT_TRUE(ExistsInView(L"Software\\VxrRegistryTest\\A\\B", KEY_WOW64_32KEY));
#ifdef _WIN64
  EXPECT_TRUE(ExistsInView(L"Software\\Wow6432Node\\VxrRegistryTest\\A", KEY_WOW64_64KEY));
  EXPECT_FALSE(ExistsInView(L"Software\\VxrRegistryTest", KEY_WOW64_64KEY));
#endif

  // The text goes without its NUL: exactly as many bytes as characters.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WOW64_32KEY, &key), 0L);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, L"Empty", nullptr, &type, nullptr, &size), 0L);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, DWORD{0});
  RegCloseKey(key);
}

void SubKeysListInTheRegistrysOrderUpToTheBufferLimit() {
  EXPECT_EQ(EnumRegSubKeys(kLm, kKey).code, SubKeyListing::kCannotOpen);
  CreateRegKey(kLm, kKey);
  EXPECT_EQ(EnumRegSubKeys(kLm, kKey).code, SubKeyListing::kNoSubKeys);

  const std::wstring base = std::wstring(kKey) + L"\\";
  for (const wchar_t* name : {L"zeta", L"VXR", L"Alpha"}) CreateRegKey(kLm, base + name);
  auto listing = EnumRegSubKeys(kLm, kKey);
  ASSERT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, (std::vector<std::wstring>{L"Alpha", L"VXR", L"zeta"}));

  // 254 characters and the NUL fill the 255-character buffer; 255 don't fit.
  // Made through the wide calls: the ANSI ones convert the whole path in a
  // buffer of 260 characters, too short for these.
  Put(base + L"B" + std::wstring(253, L'x'), L"v", REG_SZ, "", 0);
  Put(base + L"C" + std::wstring(254, L'x'), L"v", REG_SZ, "", 0);
  listing = EnumRegSubKeys(kLm, kKey);
  ASSERT_TRUE(listing.IsList());
  EXPECT_EQ(listing.names, (std::vector<std::wstring>{L"Alpha", L"B" + std::wstring(253, L'x')}));
}

}  // namespace
}  // namespace vxr

int main() {
  for (auto* test : {&vxr::TextsAreReadOnlyFromRegSzUpToTheFirstNul, &vxr::WritersLandInTheThirtyTwoBitView,
                     &vxr::SubKeysListInTheRegistrysOrderUpToTheBufferLimit}) {
    vxr::Registry::Remove();
    test();
    vxr::Registry::Remove();
  }
  std::printf("%s (%d failed checks)\n", failures ? "FAILED" : "PASSED", failures);
  return failures ? 1 : 0;
}
