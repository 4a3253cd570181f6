// The registry step's keys and values as they stand before it runs, so that a
// cancelled installation sets each back: a value to what it held, or away
// when there was none; a key away when the step made it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vxr {

class SettingsSnapshot {
 public:
  static SettingsSnapshot Take();
  // What could not be set back comes back as lines for the user.
  std::vector<std::wstring> Restore() const;

 private:
  struct Value {
    const wchar_t* key;
    const wchar_t* name;
    bool existed;
    platform::registry::ValueType type;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Value> values_;
  std::vector<const wchar_t*> madeKeys_;  // innermost first
};

}  // namespace vxr
