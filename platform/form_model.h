// What a form is apart from its windows, kept alike by every backend: the
// properties code sets and the design state they return to, the order of the
// load and unload events, the in-use state and the option-button groups.
// Each backend's form state is one of these plus what stands for the screen.
#pragma once

#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms.h"

namespace platform {

struct ControlState {
  const ControlDesign* design;
  std::wstring text;
  bool enabled = true, visible = true;
  int value = 0;
  TwipsRect bounds{};
  std::uint32_t colour = kDefaultColour;
  IconId picture = kNoIcon;
  std::wstring drive{}, path{};  // drive list, folder list
  // The backend's handle of the window that shows it, when it has one; a
  // copy of the control starts without.
  void* window = nullptr;
};

struct FormModel {
  // Joins the live forms, in its design state.
  FormModel(Form& form, const FormDesign& formDesign, FormEvents& formEvents);
  ~FormModel();
  FormModel(const FormModel&) = delete;
  FormModel& operator=(const FormModel&) = delete;

  // Every form alive, the oldest first. In a backend each of them is that
  // backend's form state, so its own code may cast back to that.
  static const std::vector<FormModel*>& Live();
  static FormModel& Of(const Form& form);

  // Back to the design state, as a form comes on every load.
  void Reset();
  // Marks it loaded and raises Form_Load; false when the load handler unloaded it again.
  bool Load() {
    loaded = true;
    events.Form_Load();
    return loaded;
  }
  // Form_QueryUnload, then Form_Unload: true, the form no longer loaded nor
  // shown, unless one of them refused. Not loaded: true at once.
  bool Unload(CloseReason reason);

  ControlId Find(std::string_view name) const;
  int Count() const { return static_cast<int>(controls.size()); }
  ControlState& At(ControlId id) {
    assert(id >= 0 && id < Count());
    return controls[static_cast<std::size_t>(id)];
  }
  const ControlState& At(ControlId id) const {
    assert(id >= 0 && id < Count());
    return controls[static_cast<std::size_t>(id)];
  }
  // Setting a value from code raises no event. Selecting an option button
  // clears the other option buttons of its container; `cleared` hears of each.
  template <typename Cleared>
  void SetValue(ControlId id, int value, Cleared cleared);
  // A hidden copy of `original`, at the end of the table.
  ControlId AddCopy(ControlId original);

  Form& self;
  const FormDesign& design;
  FormEvents& events;
  bool loaded = false, shown = false, inUse = true;
  std::wstring caption;
  IconId icon = kNoIcon;
  TwipsRect bounds{};  // the backend sets the window's outer size once it knows it
  std::vector<ControlState> controls;
};

template <typename Cleared>
void FormModel::SetValue(ControlId id, int value, Cleared cleared) {
  ControlState& c = At(id);
  c.value = value;
  if (c.design->kind != ControlKind::OptionButton || value == 0) return;
  for (ControlId other = 0; other < Count(); ++other) {
    const ControlDesign& look = *At(other).design;
    if (other == id || look.kind != ControlKind::OptionButton || look.container != c.design->container)
      continue;
    At(other).value = 0;
    cleared(other);
  }
}

// Each backend tells what its machine holds:
// a text resource of the program, as a control shows it;
std::wstring FormTextResource(std::uint16_t id);
// where a drive list (its entry) or a folder list (its path) starts: the
// program's current folder; empty when that is nothing the list can show.
std::wstring ListStart(ControlKind list);

}  // namespace platform
