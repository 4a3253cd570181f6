// The Registry module: the six routines through which the setup reads and
// writes the registry. Each opens or creates its key, does its one job and
// closes the key again; none tells its caller whether it worked other than
// through its result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace vxr {

using platform::registry::RootKey;

// What EnumRegSubKeys gives: a list of names, or one of two codes.
struct SubKeyListing {
  static constexpr std::int16_t kCannotOpen = -1;
  static constexpr std::int16_t kNoSubKeys = -2;

  std::int16_t code = 0;  // 0 when the result is a list
  std::vector<std::wstring> names;

  bool IsList() const { return code == 0; }
};

// Creates every missing key along the path; says so in a message box when it can't.
void CreateRegKey(RootKey root, std::wstring_view keyPath);
// A REG_SZ value up to its first NUL; `defaultText` for anything else.
std::wstring GetRegString(RootKey root, std::wstring_view keyPath, std::wstring_view valueName,
                          std::wstring_view defaultText = {});
// Writes a REG_SZ value with its terminating NUL; says so when it can't.
void SaveRegString(RootKey root, std::wstring_view keyPath, std::wstring_view valueName,
                   std::wstring_view text);
// A REG_DWORD value; `defaultValue` for anything else.
std::int32_t GetRegDWord(RootKey root, std::wstring_view keyPath, std::wstring_view valueName,
                         std::int32_t defaultValue = 0);
// Writes a REG_DWORD value; failures pass in silence.
void SaveRegDWord(RootKey root, std::wstring_view keyPath, std::wstring_view valueName, std::int32_t value);
// The names of the key's subkeys in the registry's order.
SubKeyListing EnumRegSubKeys(RootKey root, std::wstring_view keyPath);

}  // namespace vxr
