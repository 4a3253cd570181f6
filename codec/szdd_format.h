// The SZDD format of COMPRESS and EXPAND, as LZ32 reads it. Shared by the
// expander in the setup and the compressor of the packing tool.
//
//   offset 0   8 bytes  "SZDD" 88 F0 27 33
//   offset 8   1 byte   mode, 'A'
//   offset 9   1 byte   the last character of the expanded file's name
//   offset 10  4 bytes  expanded size, little-endian
//   offset 14  ...      LZSS data: a flag byte, then 8 items, low bit first;
//                       bit 1 a literal byte, bit 0 a two-byte match
//                       (position low 8 bits | (position high 4 bits << 4 in
//                       byte 2), length in the low 4 bits of byte 2, plus 3)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vxr::szdd {

inline constexpr std::array<std::uint8_t, 8> kSignature{0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
inline constexpr std::uint8_t kModeA = 0x41;
inline constexpr std::size_t kHeaderSize = 14;
inline constexpr std::size_t kOffsetMode = 8;
inline constexpr std::size_t kOffsetMissingChar = 9;
inline constexpr std::size_t kOffsetExpandedSize = 10;

inline constexpr std::size_t kWindowSize = 4096;
// The window starts filled with spaces, and the first byte is written at
// 4096 - 16, not 0: matches may reach back into those spaces.
inline constexpr std::uint8_t kWindowFill = 0x20;
inline constexpr std::size_t kWindowStart = kWindowSize - 16;
inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 18;

}  // namespace vxr::szdd
