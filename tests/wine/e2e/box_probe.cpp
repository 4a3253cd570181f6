// A small program for the driver to answer: a window of its own, then two
// message boxes and two input boxes, each result printed on a line (UTF-8).
#include <windows.h>

#include <array>
#include <string>

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/forms.h"
#include "tests/wine/utf8_line.h"

namespace {

struct NoEvents : platform::FormEvents {};

const std::array<platform::ControlDesign, 1> kControls{{
    {"Command1", platform::ControlKind::Button, platform::kWindow, 600, 600, 1500, 375, L"Behind the box"},
}};
const platform::FormDesign kDesign{L"Box probe", platform::FormFrame::FixedSingle, 4500, 2000, true, true,
                                   kControls};

}  // namespace

int main() {
  NoEvents events;
  platform::Form form(kDesign, events);
  form.Show();
  platform::ProcessPendingEvents();
  WriteLine(std::to_wstring(
      platform::ShowMessageBox(L"Do you want to cancel the installation?", 0x1124, L"Screen Recorder")));
  WriteLine(
      std::to_wstring(platform::ShowMessageBox(L"Dosya açılamadı: VXR.chm", 0x30, L"ExpandFiles - Hata!")));
  WriteLine(L"[" + platform::ShowInputBox(L"Name of the new folder:", L"New Folder", L"New Folder") + L"]");
  WriteLine(L"[" + platform::ShowInputBox(L"Name of the new folder:", L"New Folder", L"Kept?") + L"]");
  return 0;
}
