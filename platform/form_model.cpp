#include "platform/form_model.h"

#include <algorithm>
#include <cassert>

namespace platform {

namespace {
std::vector<FormModel*>& LiveModels() {
  static std::vector<FormModel*> forms;
  return forms;
}
}  // namespace

FormModel::FormModel(Form& form, const FormDesign& formDesign, FormEvents& formEvents)
    : self(form), design(formDesign), events(formEvents) {
  Reset();
  LiveModels().push_back(this);
}

FormModel::~FormModel() { std::erase(LiveModels(), this); }

const std::vector<FormModel*>& FormModel::Live() { return LiveModels(); }

FormModel& FormModel::Of(const Form& form) {
  const auto found = std::find_if(LiveModels().begin(), LiveModels().end(),
                                  [&](const FormModel* m) { return &m->self == &form; });
  assert(found != LiveModels().end());
  return **found;
}

void FormModel::Reset() {
  controls.clear();
  controls.reserve(design.controls.size());
  for (const auto& c : design.controls) {
    ControlState control{};
    control.design = &c;
    control.text = c.textResource ? FormTextResource(c.textResource) : std::wstring(c.text ? c.text : L"");
    control.enabled = c.enabled;
    control.visible = c.visible;
    control.bounds = {c.left, c.top, c.width, c.height};
    control.colour = c.backColour;
    // Drive and folder lists start where the program stands.
    if (c.kind == ControlKind::DriveList) control.drive = ListStart(c.kind);
    if (c.kind == ControlKind::FolderList) control.path = ListStart(c.kind);
    controls.push_back(std::move(control));
  }
  caption = design.caption;
  icon = design.programIcon ? kProgramIcon : kNoIcon;
  bounds = {0, 0, design.clientWidth, design.clientHeight};
  inUse = true;
}

bool FormModel::Load() {
  loaded = true;
  events.Form_Load();
  return loaded;
}

bool FormModel::Unload(CloseReason reason) {
  if (!loaded) return true;
  bool cancel = false;
  events.Form_QueryUnload(cancel, reason);
  if (cancel) return false;
  events.Form_Unload(cancel);
  if (cancel) return false;
  loaded = false;
  shown = false;
  return true;
}

ControlId FormModel::Find(std::string_view name) const {
  for (ControlId id = 0; id < Count(); ++id)
    if (name == At(id).design->name) return id;
  return kNoControl;
}

ControlState& FormModel::At(ControlId id) {
  assert(id >= 0 && id < Count());
  return controls[static_cast<std::size_t>(id)];
}
const ControlState& FormModel::At(ControlId id) const {
  assert(id >= 0 && id < Count());
  return controls[static_cast<std::size_t>(id)];
}

ControlId FormModel::AddCopy(ControlId original) {
  ControlState copy = At(original);
  copy.visible = false;
  controls.push_back(std::move(copy));
  return Count() - 1;
}

}  // namespace platform
