#include "platform/win32/win32_text.h"

#include <windows.h>

namespace platform::win32 {

std::wstring ToWide(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::wstring WithCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

}  // namespace platform::win32
