// The registry, shaped after advapi32's ANSI calls (RegOpenKeyA, RegCreateKeyA,
// RegQueryValueExA, RegSetValueExA, RegEnumKeyA, RegCloseKey). Key paths, value
// names and texts are bytes in the ANSI code page (see ansi_text.h); results are
// Windows' error codes. Keys are those a 32-bit program sees: on 64-bit Windows
// the 32-bit view of HKEY_LOCAL_MACHINE\Software (Wow6432Node).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

namespace platform::registry {

// The predefined keys, with Windows' values.
enum class RootKey : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
};

enum class ValueType : std::uint32_t {
  None = 0,
  Sz = 1,        // REG_SZ
  ExpandSz = 2,  // REG_EXPAND_SZ
  Binary = 3,    // REG_BINARY
  DWord = 4,     // REG_DWORD, little-endian
  MultiSz = 7,   // REG_MULTI_SZ
};

// Windows' error codes as the registry calls return them.
using Error = std::int32_t;
inline constexpr Error kSuccess = 0;
inline constexpr Error kFileNotFound = 2;
inline constexpr Error kAccessDenied = 5;
inline constexpr Error kInvalidHandle = 6;
inline constexpr Error kMoreData = 234;
inline constexpr Error kNoMoreItems = 259;

// An open key; closed when it goes out of scope, or earlier by CloseKey.
class Key {
 public:
  Key() = default;
  ~Key();
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  Key(Key&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
  Key& operator=(Key&& other) noexcept;

  bool Valid() const { return handle_ != 0; }
  std::uintptr_t Handle() const { return handle_; }
  // Gives the handle up without closing it.
  std::uintptr_t Release() { return std::exchange(handle_, 0); }
  // Takes over a handle the implementation opened.
  static Key Adopt(std::uintptr_t handle) {
    Key key;
    key.handle_ = handle;
    return key;
  }

 private:
  std::uintptr_t handle_ = 0;
};

// RegOpenKeyA: opens an existing key. `key` stays invalid on failure.
Error OpenKey(RootKey root, std::string_view path, Key& key);
// RegCreateKeyA: opens the key, creating every missing key along the path.
Error CreateKey(RootKey root, std::string_view path, Key& key);

// RegQueryValueExA. With `data` null only `type` and `size` (bytes, a stored
// NUL included) are filled. With a buffer, `size` gives its length and receives
// the stored length; a buffer too small gives kMoreData with the type and the
// needed size filled. An invalid key gives kInvalidHandle.
Error QueryValue(const Key& key, std::string_view name, ValueType& type, std::uint8_t* data,
                 std::uint32_t& size);
// RegSetValueExA: stores exactly the bytes given, replacing a value of any type.
Error SetValue(const Key& key, std::string_view name, ValueType type, std::span<const std::uint8_t> data);
// RegEnumKeyA: the name of subkey `index` and a NUL into a buffer of `length`
// characters; kMoreData when the name and its NUL don't fit, kNoMoreItems past
// the last subkey.
Error EnumKey(const Key& key, std::uint32_t index, char* buffer, std::uint32_t length);
// RegDeleteValueA.
Error DeleteValue(const Key& key, std::string_view name);
// Deletes a key that has no subkeys (RegDeleteKeyA on its parent, in the same view).
Error DeleteKey(RootKey root, std::string_view path);
// RegCloseKey. Closing an invalid key gives kInvalidHandle.
Error CloseKey(Key& key);

}  // namespace platform::registry
