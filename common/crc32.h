// CRC-32 as zlib and PKZIP compute it (reflected polynomial 0xEDB88320).
// Chainable: Crc32(b, Crc32(a)) == Crc32(a followed by b).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vxr {

namespace detail {

// Eight tables: the first is the byte-wise one, table k the same for a byte k
// places further back. Eight bytes then take eight independent look-ups
// instead of a chain of eight ("slicing-by-8"), some five times faster.
struct Crc32Tables {
  std::uint32_t t[8][256];
};

// Built on the heap on first use, not at compile time, nor as a static (which
// MinGW stores in the file): 8 KiB of table would be 8 KiB more setup program
// to download. It lives as long as the program.
inline const Crc32Tables& Crc32TablesInUse() {
  static const Crc32Tables* const tables = [] {
    auto* built = new Crc32Tables;
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      built->t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
      for (int i = 0; i < 256; ++i)
        built->t[k][i] = (built->t[k - 1][i] >> 8) ^ built->t[0][built->t[k - 1][i] & 0xFFu];
    return built;
  }();
  return *tables;
}

inline std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace detail

inline std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0) {
  const auto& t = detail::Crc32TablesInUse().t;
  const std::uint8_t* p = bytes.data();
  std::size_t n = bytes.size();
  crc = ~crc;
  for (; n >= 8; p += 8, n -= 8) {
    const std::uint32_t low = detail::LittleEndian32(p) ^ crc, high = detail::LittleEndian32(p + 4);
    crc = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^ t[4][low >> 24] ^
          t[3][high & 0xFFu] ^ t[2][(high >> 8) & 0xFFu] ^ t[1][(high >> 16) & 0xFFu] ^ t[0][high >> 24];
  }
  for (; n > 0; ++p, --n) crc = t[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

}  // namespace vxr
