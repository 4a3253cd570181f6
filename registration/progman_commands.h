// Program Manager's DDE command texts ("[CreateGroup(G)]", "[additem("x" args,Name)]")
// carried out by the setup itself, for the commands no Program Manager carried out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vxr {

struct ProgmanCommand {
  std::wstring verb;
  std::vector<std::wstring> arguments;  // as written, quotes kept
};

// "[verb(arg,arg)]" with commas inside double quotes kept in their argument.
// Nothing when the text is not one command of that form.
std::optional<ProgmanCommand> ParseProgmanCommand(std::wstring_view text);

// An item's command line split as Program Manager splits it: the quoted path,
// then what follows the closing quote without the one separating space.
struct ItemCommandLine {
  std::wstring target;
  std::wstring arguments;
};
ItemCommandLine SplitItemCommandLine(std::wstring_view commandLine);

class ProgmanInterpreter {
 public:
  // A command Program Manager carried out: later items go into its group.
  void Follow(std::wstring_view command);
  // Carries the command out in the user's Programs folder: CreateGroup makes
  // the group folder, additem a shell link in the current group. False when
  // the command is not understood or could not be carried out.
  bool Execute(std::wstring_view command);

 private:
  bool SelectGroup(const ProgmanCommand& command);
  std::wstring group_;  // the current group's folder
};

}  // namespace vxr
