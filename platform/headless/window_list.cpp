// Top-level windows: the setup's own loaded forms, then the other programs'
// windows a test has set. A walk works on the list as it was when it started,
// as handles to windows that close meanwhile lead nowhere.
#include "platform/window_list.h"

#include <utility>

#include "platform/headless/headless.h"

namespace headless {
namespace {

struct WindowState {
  std::vector<std::wstring> others;
  std::vector<std::wstring> walk;  // the titles of the walk under way; handle i is walk[i - 1]
};

WindowState& W() {
  static WindowState state;
  return state;
}
void ResetWindows() { W() = WindowState{}; }
const ResetHook windowsHook{&ResetWindows};

const std::wstring* TitleOf(platform::WindowHandle window) {
  if (window == 0 || window > W().walk.size()) return nullptr;
  return &W().walk[window - 1];
}

}  // namespace

void SetOtherWindows(std::vector<std::wstring> titles) { W().others = std::move(titles); }

}  // namespace headless

namespace platform {

WindowHandle FirstTopLevelWindow(const Form& from) {
  (void)from;
  auto& w = headless::W();
  w.walk = headless::LoadedFormCaptions();
  w.walk.insert(w.walk.end(), w.others.begin(), w.others.end());
  return w.walk.empty() ? 0 : 1;
}

WindowHandle NextWindow(WindowHandle window) {
  return headless::TitleOf(window) && window < headless::W().walk.size() ? window + 1 : 0;
}

int WindowTextLength(WindowHandle window) {
  const auto* title = headless::TitleOf(window);
  return title ? static_cast<int>(title->size()) : 0;
}

std::wstring WindowText(WindowHandle window, int maxCount) {
  const auto* title = headless::TitleOf(window);
  if (!title || maxCount < 1) return {};
  return title->substr(0, static_cast<std::size_t>(maxCount - 1));
}

}  // namespace platform
