// The headless shell's side door for tests: a scripted Program Manager DDE
// server and the links written into the Programs folder.
// Only tests include this header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dde.h"

namespace headless {

// A server that accepts conversations on `application` / `topic` (names
// compared without regard to case). Without one, no conversation opens.
void SetDdeServer(std::wstring_view application, std::wstring_view topic);
// The server's answers to the next commands, in order; without a queued
// answer a command is acknowledged. The server only records what it is sent:
// it makes no group or link of its own.
void QueueDdeAnswer(platform::DdeAnswer answer);

struct DdeCommand {
  std::wstring command;
  platform::DdeAnswer answer;
};
const std::vector<DdeCommand>& DdeCommands();
int DdeConversationsOpened();
int OpenDdeConversationCount();

// Where ProgramsFolder() points; by default
// C:\Users\Test\AppData\Roaming\Microsoft\Windows\Start Menu\Programs.
void SetProgramsFolder(std::wstring path);

// A link written by CreateShellLink, read back from its file.
struct ShellLink {
  std::wstring target;
  std::wstring arguments;
};
std::optional<ShellLink> ReadShellLink(std::wstring_view linkPath);

}  // namespace headless
