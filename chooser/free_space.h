// Free space as the chooser counts it: whole kilobytes in 64 bits, since the
// free bytes of today's disks overflow 32-bit counts and a signed 32-bit
// kilobyte figure (2 TiB).
#pragma once

#include <cstdint>
#include <string>

namespace vxr {

// Bytes to kilobytes of 1024, rounded to the nearest, a half to the even one.
std::int64_t RoundedKilobytes(std::uint64_t bytes);

// Ok wants 500,000 bytes, 488.28125 KB: a drive with 488 KB or less is refused.
constexpr bool EnoughFreeSpace(std::int64_t kilobytes) {
  return static_cast<double>(kilobytes) >= 500000.0 / 1024.0;
}

// "65,536 KB" with the locale's grouping. The figure is written as the
// pattern "#,###,###,###,###" writes it, which writes nothing for zero: " KB".
std::wstring FreeSpaceText(std::int64_t kilobytes);

}  // namespace vxr
