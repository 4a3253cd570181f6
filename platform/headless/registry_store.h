// The headless registry's side door for tests: values put in place and read
// back with wide texts, writes refused below a path, and the keys left open.
// Only tests include this header.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace headless {

using platform::registry::RootKey;
using platform::registry::ValueType;

struct RegistryValue {
  ValueType type;
  std::vector<std::uint8_t> bytes;
};

// Keys along the path are created as needed.
void PutRegistryValue(RootKey root, std::wstring_view path, std::wstring_view name, ValueType type,
                      std::span<const std::uint8_t> bytes);
// A REG_SZ value in the ANSI code page, with or without a terminating NUL.
void PutRegistryString(RootKey root, std::wstring_view path, std::wstring_view name, std::wstring_view text,
                       bool withNul = true);
void PutRegistryDWord(RootKey root, std::wstring_view path, std::wstring_view name, std::uint32_t value);
void PutRegistryKey(RootKey root, std::wstring_view path);

bool RegistryKeyExists(RootKey root, std::wstring_view path);
std::optional<RegistryValue> GetRegistryValue(RootKey root, std::wstring_view path, std::wstring_view name);
// The names of a key's values, as written, in the order they were first set.
std::vector<std::wstring> RegistryValueNames(RootKey root, std::wstring_view path);

// Creating a missing key at or below `path` and writing a value into such a key
// fail with `error`; existing keys still open (as RegCreateKeyA's
// MAXIMUM_ALLOWED access does for a user who may only read them).
void RefuseRegistryWrites(RootKey root, std::wstring_view path,
                          platform::registry::Error error = platform::registry::kAccessDenied);

// Keys opened and not yet closed.
int OpenRegistryKeyCount();

}  // namespace headless
