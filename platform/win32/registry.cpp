// advapi32's ANSI registry calls. The product is a 32-bit program and reads
// the 32-bit view of the registry (Wow6432Node on 64-bit Windows), so every
// key is opened in that view whatever this program is built as: the Ex forms
// carry KEY_WOW64_32KEY, and a key opened so enumerates in that view too.
#include "platform/registry.h"

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform::registry {

namespace {

// RegOpenKeyA and RegCreateKeyA ask for MAXIMUM_ALLOWED: an existing key a
// user may only read still opens.
constexpr REGSAM kAccess = MAXIMUM_ALLOWED | KEY_WOW64_32KEY;

using win32::UniqueKey;

// The predefined keys are sign-extended 32-bit values, as Windows' headers define them.
HKEY Predefined(RootKey root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(root))));
}
HKEY Native(const Key& key) { return reinterpret_cast<HKEY>(key.Handle()); }
Key Wrap(UniqueKey key) { return Key::Adopt(reinterpret_cast<std::uintptr_t>(key.Release())); }

}  // namespace

Key::~Key() {
  if (Valid()) RegCloseKey(Native(*this));
}

Key& Key::operator=(Key&& other) noexcept {
  if (this != &other) {
    if (Valid()) RegCloseKey(Native(*this));
    handle_ = other.handle_;
    other.handle_ = 0;
  }
  return *this;
}

Error OpenKey(RootKey root, std::string_view path, Key& key) {
  key = Key{};
  UniqueKey opened;
  const LONG result = RegOpenKeyExA(Predefined(root), std::string(path).c_str(), 0, kAccess, opened.Put());
  if (result == ERROR_SUCCESS) key = Wrap(static_cast<UniqueKey&&>(opened));
  return result;
}

Error CreateKey(RootKey root, std::string_view path, Key& key) {
  key = Key{};
  UniqueKey created;
  const LONG result = RegCreateKeyExA(Predefined(root), std::string(path).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, kAccess, nullptr, created.Put(), nullptr);
  if (result == ERROR_SUCCESS) key = Wrap(static_cast<UniqueKey&&>(created));
  return result;
}

Error QueryValue(const Key& key, std::string_view name, ValueType& type, std::uint8_t* data,
                 std::uint32_t& size) {
  if (!key.Valid()) return ERROR_INVALID_HANDLE;
  DWORD nativeType = 0;
  DWORD nativeSize = size;
  const LONG result =
      RegQueryValueExA(Native(key), std::string(name).c_str(), nullptr, &nativeType, data, &nativeSize);
  type = static_cast<ValueType>(nativeType);
  size = nativeSize;
  return result;
}

Error SetValue(const Key& key, std::string_view name, ValueType type, std::span<const std::uint8_t> data) {
  if (!key.Valid()) return ERROR_INVALID_HANDLE;
  return RegSetValueExA(Native(key), std::string(name).c_str(), 0, static_cast<DWORD>(type), data.data(),
                        static_cast<DWORD>(data.size()));
}

Error EnumKey(const Key& key, std::uint32_t index, char* buffer, std::uint32_t length) {
  if (!key.Valid()) return ERROR_INVALID_HANDLE;
  return RegEnumKeyA(Native(key), index, buffer, length);
}

Error DeleteValue(const Key& key, std::string_view name) {
  if (!key.Valid()) return ERROR_INVALID_HANDLE;
  return RegDeleteValueA(Native(key), std::string(name).c_str());
}

Error DeleteKey(RootKey root, std::string_view path) {
  // Through a handle to the parent opened in the 32-bit view: the key deleted
  // is the one the other calls see, whichever build this is.
  const auto separator = path.find_last_of('\\');
  const std::string parent(separator == std::string_view::npos ? std::string_view{}
                                                               : path.substr(0, separator));
  const std::string leaf(path.substr(separator == std::string_view::npos ? 0 : separator + 1));
  UniqueKey opened;
  const LONG result = RegOpenKeyExA(Predefined(root), parent.c_str(), 0, kAccess, opened.Put());
  if (result != ERROR_SUCCESS) return result;
  return RegDeleteKeyA(opened.Get(), leaf.c_str());
}

Error CloseKey(Key& key) {
  if (!key.Valid()) return ERROR_INVALID_HANDLE;
  return RegCloseKey(reinterpret_cast<HKEY>(key.Release()));
}

}  // namespace platform::registry
