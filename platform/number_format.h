// Numbers as the user's locale writes them.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A whole number with its digits grouped by the locale's separator and
// grouping ("65,536" in English, "65.536" in Turkish), without decimals.
std::wstring FormatGrouped(std::uint64_t value);

}  // namespace platform
