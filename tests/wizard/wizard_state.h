// Everything a person could see or use on the wizard (page, destination, the
// window's and every control's state), to tell that a refused close changed nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr::test {

using WizardState = std::vector<std::wstring>;

inline WizardState StateOf(platform::Form& w) {
  WizardState s{std::to_wstring(WizardPage), std::wstring(InstallDir.Trimmed()),
                std::to_wstring(headless::IsShown(w) * 2 + w.InUse()), w.Text(platform::kWindow)};
  for (int id = 0; id < w.ControlCount(); ++id)
    s.push_back(std::to_wstring(w.Enabled(id) * 2 + w.Visible(id)) + L' ' + std::to_wstring(w.Value(id)) +
                L' ' + w.Text(id));
  return s;
}

}  // namespace vxr::test
