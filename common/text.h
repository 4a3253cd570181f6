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
