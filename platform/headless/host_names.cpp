// UTF-8 both ways by hand: std::filesystem converts wide names through the
// "C" locale's facet, which refuses every letter beyond ASCII.
#include <string>

#include "platform/headless/headless.h"

namespace headless {

std::filesystem::path HostName(std::wstring_view windowsName) {
  std::u8string out;
  for (const wchar_t wide : windowsName) {
    const auto c = static_cast<char32_t>(wide);
    if (c < 0x80) {
      out += static_cast<char8_t>(c);
    } else if (c < 0x800) {
      out += static_cast<char8_t>(0xC0 | (c >> 6));
      out += static_cast<char8_t>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char8_t>(0xE0 | (c >> 12));
      out += static_cast<char8_t>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char8_t>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char8_t>(0xF0 | (c >> 18));
      out += static_cast<char8_t>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char8_t>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char8_t>(0x80 | (c & 0x3F));
    }
  }
  return std::filesystem::path(out);
}

std::wstring WindowsName(const std::filesystem::path& hostName) {
  const std::string bytes = hostName.native();
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    std::size_t j = i + 1;
    for (; j <= i + extra && j < bytes.size(); ++j) c = (c << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
    out += static_cast<wchar_t>(c);
    i = j;
  }
  return out;
}

}  // namespace headless
