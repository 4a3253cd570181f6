// The two ANSI code pages a headless machine can have, converting as Windows
// does: Windows-1252 (Western), the default, which the Wine test prefix has
// too, and Windows-1254 (Turkish). Header-only, so that a test under Wine can
// hold them against Windows' own conversion byte for byte.
#pragma once

#include <array>
#include <cstdint>

namespace headless::code_pages {

inline constexpr std::uint32_t kWestern = 1252;
inline constexpr std::uint32_t kTurkish = 1254;

// 0x80-0x9F as Windows-1254 has them; bytes Windows leaves undefined map to
// the same code point.
inline constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x008E, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178};

constexpr wchar_t ToWide(std::uint32_t codePage, std::uint8_t byte) {
  if (byte < 0x80) return static_cast<wchar_t>(byte);
  if (codePage == kWestern && (byte == 0x8E || byte == 0x9E)) return byte == 0x8E ? 0x017D : 0x017E;  // Ž ž
  if (byte < 0xA0) return static_cast<wchar_t>(kHigh[byte - 0x80u]);
  if (codePage == kTurkish) {
    switch (byte) {
      case 0xD0: return 0x011E;  // Ğ
      case 0xDD: return 0x0130;  // İ
      case 0xDE: return 0x015E;  // Ş
      case 0xF0: return 0x011F;  // ğ
      case 0xFD: return 0x0131;  // ı
      case 0xFE: return 0x015F;  // ş
      default: break;
    }
  }
  return static_cast<wchar_t>(byte);  // Latin-1
}

// A letter the code page lacks becomes Windows' "best fit", its base letter,
// where Windows has one (the Turkish letters in 1252, Ž and ž in 1254); any
// other character becomes '?'.
constexpr char ToByte(std::uint32_t codePage, wchar_t c) {
  if (c < 0x80) return static_cast<char>(c);
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte)
    if (ToWide(codePage, static_cast<std::uint8_t>(byte)) == c) return static_cast<char>(byte);
  switch (c) {
    case 0x011E: return 'G';
    case 0x011F: return 'g';
    case 0x0130: return 'I';
    case 0x0131: return 'i';
    case 0x015E: return 'S';
    case 0x015F: return 's';
    case 0x017D: return 'Z';
    case 0x017E: return 'z';
    default: return '?';
  }
}

}  // namespace headless::code_pages
