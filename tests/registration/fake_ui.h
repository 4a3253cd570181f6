// Records what an installation step did to the wizard window, in order.
#pragma once

#include <string>
#include <vector>

#include "common/install_ui.h"
#include "platform/headless/headless.h"

namespace vxr::test {

class FakeUi final : public InstallUi {
 public:
  void SetStatusLine(std::wstring_view text) override { log.push_back(L"status: " + std::wstring(text)); }
  void RefreshWindow() override { log.push_back(L"refresh"); }
  // Marks where pending events ran.
  void QueueEventMarker() {
    headless::QueueEvent([this] { log.push_back(L"events"); });
  }
  std::vector<std::wstring> log;
};

}  // namespace vxr::test
