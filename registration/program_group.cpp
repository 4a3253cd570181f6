#include "registration/program_group.h"

#include <string>

#include "common/text.h"
#include "platform/dde.h"
#include "platform/events.h"
#include "platform/files.h"
#include "registration/progman_commands.h"

namespace vxr {

namespace {

// Sends each command to Program Manager while it answers; from the first one
// it doesn't carry out, the rest are ours.
class CommandSender {
 public:
  CommandSender() { shell_.Open(L"Progman", L"progman"); }

  void Send(const std::wstring& command) {
    if (shell_.IsOpen()) {
      if (shell_.Execute(command, kProgmanWaitMilliseconds) == platform::DdeAnswer::Acknowledged) {
        ownCommands_.Follow(command);
        return;
      }
      // A server that refused or fell silent once is not asked again: a late
      // answer to an abandoned command must not race our own.
      shell_.Close();
    }
    ownCommands_.Execute(command);
  }

  void Close() { shell_.Close(); }

 private:
  platform::DdeConversation shell_;
  ProgmanInterpreter ownCommands_;
};

std::wstring AddItem(std::wstring_view dir, std::wstring_view file, std::wstring_view arguments,
                     std::wstring_view name) {
  std::wstring command = L"[additem(\"";
  command.append(dir).append(L"\\").append(file).append(L"\"");
  command.append(arguments).append(L",").append(name).append(L")]");
  return command;
}

}  // namespace

void CreateProgramGroup(std::wstring_view installDir, InstallUi& ui) {
  ui.SetStatusLine(L"Shortcuts are being created...");
  const std::wstring_view dir = Trim(installDir);

  CommandSender sender;
  sender.Send(L"[CreateGroup(Screen Recorder)]");
  sender.Send(AddItem(dir, L"Screen Recorder.exe", L"", L"Tarvo's Screen Recorder"));
  sender.Send(AddItem(dir, L"Screen Recorder.exe", L" /moviestudio", L"VXR Movie Studio"));
  // Hidden or system files count as absent: their items are left out.
  if (platform::NormalFileExists(std::wstring(dir) + L"\\VXR.chm"))
    sender.Send(AddItem(dir, L"VXR.chm", L"", L"Screen Recorder Help"));
  if (platform::NormalFileExists(std::wstring(dir) + L"\\Uninstall VXR.exe"))
    sender.Send(AddItem(dir, L"Uninstall VXR.exe", L"", L"Uninstall Screen Recorder"));
  sender.Close();

  ui.RefreshWindow();
  platform::ProcessPendingEvents();
  ui.RefreshWindow();
}

}  // namespace vxr
