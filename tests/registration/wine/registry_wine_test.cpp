// The registry routines against Wine's registry. That the installation's values
// land in the 32-bit view, and only there, e2e's check_registry reads.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/registration/registry_checks.h"

namespace vxr {
namespace {

constexpr wchar_t kKey[] = L"Software\\VxrRegistryTest";

// Keys are made through the wide calls: the ANSI ones convert the whole path
// in a buffer of 260 characters, too short for the longest names.
HKEY Create(std::wstring_view key) {
  HKEY handle = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, std::wstring(key).c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &handle, nullptr),
            0L);
  return handle;
}

const test::RegistryUnderTest kWine{
    [](std::wstring_view key, std::wstring_view name, const test::RawValue& value) {
      HKEY handle = Create(key);
      const std::string narrow(name.begin(), name.end());
      EXPECT_EQ(RegSetValueExA(handle, narrow.c_str(), 0, value.type,
                               reinterpret_cast<const BYTE*>(value.bytes.data()),
                               static_cast<DWORD>(value.bytes.size())),
                0L);
      RegCloseKey(handle);
    },
    [](std::wstring_view key) { RegCloseKey(Create(key)); },
    [](std::wstring_view key, std::wstring_view name) -> std::string {
      HKEY handle = Create(key);
      const std::string narrow(name.begin(), name.end());
      std::string bytes(1024, '\0');
      DWORD size = static_cast<DWORD>(bytes.size());
      const LONG result = RegQueryValueExA(handle, narrow.c_str(), nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(bytes.data()), &size);
      RegCloseKey(handle);
      return result == 0 ? bytes.substr(0, size) : "missing";
    }};

class RegistryWineTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software))
      return;
    RegDeleteTreeW(software, L"VxrRegistryTest");
    RegCloseKey(software);
  }
};

TEST_F(RegistryWineTest, RoutinesTakeAndStoreOnlyTheirOwnTypes) {
  test::CheckValues(kWine, kKey);
  test::CheckListing(kWine, std::wstring(kKey) + L"\\Listed");
}

}  // namespace
}  // namespace vxr
