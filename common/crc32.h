// CRC-32 as zlib and PKZIP compute it (reflected polynomial 0xEDB88320).
// Chainable: Crc32(b, Crc32(a)) == Crc32(a followed by b).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vxr {

namespace detail {
inline constexpr std::array<std::uint32_t, 256> kCrc32Table = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}();
}  // namespace detail

inline std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0) {
  crc = ~crc;
  for (const std::uint8_t b : bytes) crc = detail::kCrc32Table[(crc ^ b) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

}  // namespace vxr
