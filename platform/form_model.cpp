#include "platform/form_model.h"

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

FormModel::~FormModel() {
  auto& forms = LiveModels();
  for (auto it = forms.begin(); it != forms.end(); ++it)
    if (*it == this) {
      forms.erase(it);
      break;
    }
}

const std::vector<FormModel*>& FormModel::Live() { return LiveModels(); }

FormModel& FormModel::Of(const Form& form) {
  FormModel* found = nullptr;
  for (FormModel* model : LiveModels())
    if (&model->self == &form) found = model;
  assert(found);
  return *found;
}

void FormModel::Reset() {
  controls.clear();
  for (const auto& c : design.controls) {
    controls.push_back(
        {.design = &c,
         .text = c.textResource ? FormTextResource(c.textResource) : std::wstring(c.text ? c.text : L""),
         .enabled = c.enabled,
         .visible = c.visible,
         .bounds = {c.left, c.top, c.width, c.height},
         .colour = c.backColour});
    // Drive and folder lists start where the program stands.
    if (c.kind == ControlKind::DriveList || c.kind == ControlKind::FolderList)
      (c.kind == ControlKind::DriveList ? controls.back().drive : controls.back().path) = ListStart(c.kind);
  }
  caption = design.caption;
  icon = design.programIcon ? kProgramIcon : kNoIcon;
  bounds = {0, 0, design.clientWidth, design.clientHeight};
  inUse = true;
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

ControlId FormModel::AddCopy(ControlId original) {
  ControlState copy = At(original);
  copy.visible = false;
  copy.window = nullptr;
  controls.push_back(std::move(copy));
  return Count() - 1;
}

// What a form is made of is the same on every backend.
ControlId Form::Find(std::string_view name) const { return FormModel::Of(*this).Find(name); }
std::string_view Form::Name(ControlId control) const { return FormModel::Of(*this).At(control).design->name; }
ControlKind Form::Kind(ControlId control) const { return FormModel::Of(*this).At(control).design->kind; }
int Form::ControlCount() const { return FormModel::Of(*this).Count(); }

}  // namespace platform
