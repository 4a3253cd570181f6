#include "wizard/running_product.h"

#include <algorithm>

#include "common/text.h"

namespace vxr {

namespace {
constexpr int kTitleBuffer = 128;
// Windows reorder while a GetWindow walk runs, and a reordered window can lead
// it round in a circle; no desktop holds more windows than this.
constexpr int kMostWindows = 65536;
}  // namespace

std::wstring ReadWindowTitle(platform::WindowHandle window) {
  const int length = platform::WindowTextLength(window);
  if (length < 1) return {};
  // The call writes the title, cut to fit, and a NUL into the blanks; the
  // blanks after the NUL stay.
  std::wstring buffer(kTitleBuffer, L' ');
  const std::wstring text =
      platform::WindowText(window, std::min(length + 1, kTitleBuffer)).substr(0, kTitleBuffer - 1);
  buffer.replace(0, text.size(), text);
  buffer[text.size()] = L'\0';
  std::wstring_view title = Trim(buffer);
  if (EndsWith(title, L'\0')) title.remove_suffix(1);
  // A title's own trailing blanks stand before the NUL: trimmed once more,
  // "Screen Recorder Settings " is the settings window too.
  return std::wstring(Trim(title));
}

bool ProductIsRunning(const platform::Form& from) {
  bool mainWindow = false;
  bool settingsWindow = false;
  int visited = 0;
  for (auto window = platform::FirstTopLevelWindow(from); window != 0 && visited < kMostWindows;
       window = platform::NextWindow(window), ++visited) {
    const std::wstring title = ReadWindowTitle(window);
    if (std::find(std::begin(kProductMainTitles), std::end(kProductMainTitles), title) !=
        std::end(kProductMainTitles))
      mainWindow = true;
    if (title == kProductSettingsTitle) settingsWindow = true;
    if (mainWindow && settingsWindow) return true;
  }
  return false;
}

}  // namespace vxr
