// The message loop. Keyboard navigation (Tab, arrows between option buttons)
// comes from IsDialogMessage on the form the message is for.
#include "platform/events.h"

#include <windows.h>

#include "platform/win32/gui.h"

namespace platform {

namespace {
void Dispatch(MSG& message) {
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && win32::IsNavigableWindow(root) && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}
}  // namespace

void ProcessPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave it for the main loop, which ends on it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

int RunEventLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
  return static_cast<int>(message.wParam);
}

void EndProgram() { ExitProcess(0); }

}  // namespace platform
