// Numbers as decimal text. std::to_wstring would do, but it brings the C
// library's whole wide printf along, a third of this small program.
#pragma once

#include <cstdint>
#include <string>

namespace vxr::uninstaller {

inline std::wstring Decimal(std::uint64_t value) {
  wchar_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::wstring text;
  while (count > 0) text += digits[--count];
  return text;
}

}  // namespace vxr::uninstaller
