// Everything a person could see or use on the wizard, to tell that a refused
// close changed nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace vxr::test {

struct WizardState {
  std::uint8_t page;
  std::wstring installDir;
  bool shown, inUse;
  std::vector<std::wstring> texts;  // the caption first, then every control's
  std::vector<int> enabled, visible, values;
  bool operator==(const WizardState&) const = default;
};

inline WizardState StateOf(platform::Form& w) {
  WizardState s{WizardPage, std::wstring(InstallDir.Trimmed()), headless::IsShown(w), w.InUse(), {}, {}, {},
                {}};
  s.texts.push_back(w.Text(platform::kWindow));
  for (int id = 0; id < w.ControlCount(); ++id) {
    s.texts.push_back(w.Text(id));
    s.enabled.push_back(w.Enabled(id));
    s.visible.push_back(w.Visible(id));
    s.values.push_back(w.Value(id));
  }
  return s;
}

}  // namespace vxr::test
