#include "registration/progman_commands.h"

#include "common/text.h"
#include "platform/files.h"
#include "platform/shell_links.h"

namespace vxr {

namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 0x20);
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 0x20);
    if (x != y) return false;
  }
  return true;
}

std::wstring Unquoted(std::wstring_view text) {
  text = Trim(text);
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
  return std::wstring(text);
}

// Makes every missing folder of `path` ("C:\a\b"); true when it exists afterwards.
bool MakeFolders(std::wstring_view path) {
  for (std::size_t sep = path.find(L'\\', 3); sep != std::wstring_view::npos; sep = path.find(L'\\', sep + 1))
    platform::MakeDirectory(path.substr(0, sep));
  platform::MakeDirectory(path);
  return platform::PathExists(path);
}

std::wstring BaseNameWithoutExtension(std::wstring_view path) {
  const auto sep = path.find_last_of(L"\\/:");
  std::wstring_view name = sep == std::wstring_view::npos ? path : path.substr(sep + 1);
  const auto dot = name.find_last_of(L'.');
  return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

}  // namespace

std::optional<ProgmanCommand> ParseProgmanCommand(std::wstring_view text) {
  text = Trim(text);
  if (text.size() < 4 || text.front() != L'[' || text.back() != L']') return std::nullopt;
  text = text.substr(1, text.size() - 2);
  const auto open = text.find(L'(');
  if (open == std::wstring_view::npos || text.back() != L')') return std::nullopt;
  ProgmanCommand command{std::wstring(Trim(text.substr(0, open))), {}};
  if (command.verb.empty()) return std::nullopt;
  const std::wstring_view inside = text.substr(open + 1, text.size() - open - 2);
  bool quoted = false;
  std::wstring current;
  for (wchar_t c : inside) {
    if (c == L'"') quoted = !quoted;
    if (c == L',' && !quoted) {
      command.arguments.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (quoted) return std::nullopt;
  if (!inside.empty()) command.arguments.push_back(std::move(current));
  return command;
}

ItemCommandLine SplitItemCommandLine(std::wstring_view commandLine) {
  commandLine = Trim(commandLine);
  if (commandLine.empty() || commandLine.front() != L'"') return {std::wstring(commandLine), {}};
  const auto close = commandLine.find(L'"', 1);
  if (close == std::wstring_view::npos) return {std::wstring(commandLine.substr(1)), {}};
  std::wstring_view rest = commandLine.substr(close + 1);
  if (!rest.empty() && rest.front() == L' ') rest.remove_prefix(1);
  return {std::wstring(commandLine.substr(1, close - 1)), std::wstring(rest)};
}

bool ProgmanInterpreter::SelectGroup(const ProgmanCommand& command) {
  if (command.arguments.empty()) return false;
  const std::wstring name = Unquoted(command.arguments[0]);
  const std::wstring programs = platform::ProgramsFolder();
  if (name.empty() || programs.empty()) return false;
  group_ = programs + L"\\" + name;
  return true;
}

void ProgmanInterpreter::Follow(std::wstring_view command) {
  const auto parsed = ParseProgmanCommand(command);
  if (parsed && SameText(parsed->verb, L"CreateGroup")) SelectGroup(*parsed);
}

bool ProgmanInterpreter::Execute(std::wstring_view command) {
  const auto parsed = ParseProgmanCommand(command);
  if (!parsed) return false;
  if (SameText(parsed->verb, L"CreateGroup")) return SelectGroup(*parsed) && MakeFolders(group_);
  if (!SameText(parsed->verb, L"additem") || parsed->arguments.empty() || group_.empty()) return false;

  const ItemCommandLine item = SplitItemCommandLine(parsed->arguments[0]);
  if (item.target.empty()) return false;
  std::wstring name = parsed->arguments.size() > 1 ? Unquoted(parsed->arguments[1]) : std::wstring{};
  if (name.empty()) name = BaseNameWithoutExtension(item.target);
  // The group may have been made by Program Manager before it stopped answering.
  if (!MakeFolders(group_)) return false;
  return platform::CreateShellLink(group_ + L"\\" + name + L".lnk", item.target, item.arguments) ==
         platform::kErrorSuccess;
}

}  // namespace vxr
