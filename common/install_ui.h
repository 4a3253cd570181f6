// What the installation steps may do to the wizard window while they run.
#pragma once

#include <string_view>

namespace vxr {

class InstallUi {
 public:
  // The finish page's stage line, repainted at once.
  virtual void SetStatusLine(std::wstring_view text) = 0;
  // The wizard window's parameterless refresh, used around the last event point.
  virtual void RefreshWindow() = 0;

 protected:
  ~InstallUi() = default;
};

}  // namespace vxr
