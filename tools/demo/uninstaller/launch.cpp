#include "tools/demo/uninstaller/launch.h"

#include <vector>

#include "tools/demo/uninstaller/decimal.h"

namespace vxr::uninstaller {

namespace {

constexpr std::wstring_view kSwitch = L"/original";

// Arguments as Windows' start-up code splits them, for the lines made here:
// blanks separate, double quotes keep blanks. Paths hold no quotes.
std::vector<std::wstring> Split(std::wstring_view line) {
  std::vector<std::wstring> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    if (i >= line.size()) break;
    std::wstring word;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t')); ++i) {
      if (line[i] == L'"')
        quoted = !quoted;
      else
        word += line[i];
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::optional<std::uintptr_t> Number(std::wstring_view text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uintptr_t value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    const std::uintptr_t next = value * 10 + static_cast<std::uintptr_t>(c - L'0');
    if (next / 10 != value) return std::nullopt;
    value = next;
  }
  return value;
}

}  // namespace

std::wstring CopyCommandLine(std::wstring_view copyPath, const CopyArguments& arguments) {
  std::wstring line = L"\"";
  line.append(copyPath).append(L"\" ").append(kSwitch).append(L" ");
  line.append(Decimal(arguments.originalProcess)).append(L" \"");
  return line.append(arguments.originalPath).append(L"\"");
}

std::optional<CopyArguments> ParseCopyArguments(std::wstring_view commandLine) {
  const std::vector<std::wstring> words = Split(commandLine);
  if (words.size() != 4 || words[1] != kSwitch || words[3].empty()) return std::nullopt;
  const auto handle = Number(words[2]);
  if (!handle || *handle == 0) return std::nullopt;
  return CopyArguments{*handle, words[3]};
}

std::wstring FolderOf(std::wstring_view path) {
  const auto separator = path.find_last_of(L'\\');
  if (separator == std::wstring_view::npos) return {};
  // A drive's root keeps its backslash: "C:" alone is the drive's current folder.
  if (separator == 2 && path.size() > 1 && path[1] == L':') return std::wstring(path.substr(0, 3));
  return std::wstring(path.substr(0, separator));
}

}  // namespace vxr::uninstaller
