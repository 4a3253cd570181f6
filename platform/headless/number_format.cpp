// Digit grouping as GetNumberFormat does it for a locale's grouping text.
#include "platform/number_format.h"

#include <vector>

#include "platform/headless/headless.h"

namespace headless {
namespace {

struct Grouping {
  std::wstring separator = L",";
  std::wstring pattern = L"3;0";
};
Grouping& G() {
  static Grouping grouping;
  return grouping;
}
void ResetGrouping() { G() = Grouping{}; }
const ResetHook groupingHook{&ResetGrouping};

}  // namespace

void SetNumberGrouping(std::wstring separator, std::wstring grouping) {
  G() = {std::move(separator), std::move(grouping)};
}

}  // namespace headless

namespace platform {

std::wstring FormatGrouped(std::uint64_t value) {
  std::wstring digits = std::to_wstring(value);
  // "3;2;0": groups of 3, then 2, the last size repeating; without the final
  // 0 the digits left of the last group stay together. A 0 size ends grouping.
  std::vector<std::size_t> sizes;
  bool repeat = false;
  for (wchar_t c : headless::G().pattern) {
    if (c < L'0' || c > L'9') continue;
    if (c == L'0') {
      repeat = !sizes.empty();
      break;
    }
    sizes.push_back(static_cast<std::size_t>(c - L'0'));
  }
  std::wstring out;
  std::size_t end = digits.size(), group = 0;
  while (end > 0) {
    std::size_t size = end;
    if (group < sizes.size())
      size = sizes[group];
    else if (repeat && !sizes.empty())
      size = sizes.back();
    size = size < end ? size : end;
    const std::wstring part = digits.substr(end - size, size);
    out = end == digits.size() ? part : part + headless::G().separator + out;
    end -= size;
    ++group;
  }
  return out;
}

}  // namespace platform
