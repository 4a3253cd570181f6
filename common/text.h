// Text helpers shared by every part: trimming and the fixed-length globals.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vxr {

// Drops leading and trailing blanks (spaces only, as the setup's texts use them).
constexpr std::wstring_view Trim(std::wstring_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && text[first] == L' ') ++first;
  while (last > first && text[last - 1] == L' ') --last;
  return text.substr(first, last - first);
}

constexpr bool EndsWith(std::wstring_view text, wchar_t c) { return !text.empty() && text.back() == c; }

// Equal but for the case of the letters A to Z, as Windows compares the
// drive letters and folder names the setup makes.
constexpr bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const wchar_t x = a[i] >= L'A' && a[i] <= L'Z' ? static_cast<wchar_t>(a[i] + 0x20) : a[i];
    const wchar_t y = b[i] >= L'A' && b[i] <= L'Z' ? static_cast<wchar_t>(b[i] + 0x20) : b[i];
    if (x != y) return false;
  }
  return true;
}

// A text of exactly N characters: every assignment pads with blanks or cuts,
// so readers always take Trimmed().
template <std::size_t N>
class FixedText {
 public:
  FixedText() : text_(N, L' ') {}
  explicit FixedText(std::wstring_view value) { Assign(value); }
  FixedText& operator=(std::wstring_view value) {
    Assign(value);
    return *this;
  }
  std::wstring_view Stored() const { return text_; }
  std::wstring_view Trimmed() const { return Trim(text_); }

 private:
  void Assign(std::wstring_view value) {
    text_.assign(value.substr(0, N));
    text_.resize(N, L' ');
  }
  std::wstring text_;
};

}  // namespace vxr
