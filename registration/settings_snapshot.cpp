#include "registration/settings_snapshot.h"

#include "platform/ansi_text.h"
#include "registration/product_settings.h"

namespace vxr {

namespace reg = platform::registry;
using platform::ToAnsi;

namespace {

constexpr reg::RootKey kRoot = reg::RootKey::LocalMachine;

struct Written {
  const wchar_t* key;
  const wchar_t* name;
};
// Every value the registry step may write.
constexpr Written kWritten[] = {
    {kProductKey, L"Dizin"},
    {kProductKey, L"Version"},
    {kProductKey, L"IncCur"},
    {kProductKey, L"dwKFE"},
    {kProductKey, L"FullDesktopRate"},
    {kUninstallKey, L"DisplayName"},
    {kUninstallKey, L"UninstallString"},
};
// Every key it may make, innermost first: the order they can be deleted in.
constexpr const wchar_t* kKeys[] = {kProductKey, kVendorKey, kUninstallKey};

bool KeyExists(const wchar_t* path) {
  reg::Key key;
  return reg::OpenKey(kRoot, ToAnsi(path), key) == reg::kSuccess;
}

}  // namespace

SettingsSnapshot SettingsSnapshot::Take() {
  SettingsSnapshot snapshot;
  for (const wchar_t* path : kKeys)
    if (!KeyExists(path)) snapshot.madeKeys_.push_back(path);
  for (const Written& written : kWritten) {
    Value value{written.key, written.name, false, reg::ValueType::None, {}};
    reg::Key key;
    std::uint32_t size = 0;
    const std::string name = ToAnsi(written.name);
    if (reg::OpenKey(kRoot, ToAnsi(written.key), key) == reg::kSuccess &&
        reg::QueryValue(key, name, value.type, nullptr, size) == reg::kSuccess) {
      value.bytes.resize(size);
      value.existed = reg::QueryValue(key, name, value.type, value.bytes.data(), size) == reg::kSuccess;
      value.bytes.resize(size);
    }
    snapshot.values_.push_back(std::move(value));
  }
  return snapshot;
}

std::vector<std::wstring> SettingsSnapshot::Restore() const {
  std::vector<std::wstring> failures;
  for (const Value& value : values_) {
    reg::Key key;
    if (reg::OpenKey(kRoot, ToAnsi(value.key), key) != reg::kSuccess) continue;  // nothing was written
    const std::string name = ToAnsi(value.name);
    const reg::Error error =
        value.existed ? reg::SetValue(key, name, value.type, value.bytes) : reg::DeleteValue(key, name);
    if (error != reg::kSuccess && error != reg::kFileNotFound)
      failures.push_back(std::wstring(L"HKEY_LOCAL_MACHINE\\") + value.key + L" \"" + value.name + L"\"");
  }
  for (const wchar_t* path : madeKeys_) {
    const reg::Error error = reg::DeleteKey(kRoot, ToAnsi(path));
    if (error != reg::kSuccess && error != reg::kFileNotFound && KeyExists(path))
      failures.push_back(std::wstring(L"HKEY_LOCAL_MACHINE\\") + path);
  }
  return failures;
}

}  // namespace vxr
