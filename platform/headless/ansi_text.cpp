// The headless machine's ANSI code page is Windows-1254 (Turkish), so the
// setup's Turkish texts survive the trip through the ANSI calls as they would
// on a Turkish Windows.
#include "platform/ansi_text.h"

#include <array>
#include <cstdint>

namespace {

// 0x80-0x9F; the bytes Windows leaves undefined map to the same code point.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178};

// Where Windows-1254 differs from Latin-1 in 0xA0-0xFF.
char16_t Upper(std::uint8_t byte) {
  switch (byte) {
    case 0xD0: return 0x011E;  // Ğ
    case 0xDD: return 0x0130;  // İ
    case 0xDE: return 0x015E;  // Ş
    case 0xF0: return 0x011F;  // ğ
    case 0xFD: return 0x0131;  // ı
    case 0xFE: return 0x015F;  // ş
    default: return byte;
  }
}

wchar_t ToWide(std::uint8_t byte) {
  if (byte < 0x80) return static_cast<wchar_t>(byte);
  if (byte < 0xA0) return static_cast<wchar_t>(kHigh[byte - 0x80u]);
  return static_cast<wchar_t>(Upper(byte));
}

char ToByte(wchar_t c) {
  if (c < 0x80) return static_cast<char>(c);
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    if (ToWide(static_cast<std::uint8_t>(byte)) == c) return static_cast<char>(byte);
  }
  return '?';
}

}  // namespace

namespace platform {

std::string ToAnsi(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(ToByte(c));
  return out;
}

std::wstring FromAnsi(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char b : bytes) out.push_back(ToWide(static_cast<std::uint8_t>(b)));
  return out;
}

}  // namespace platform
