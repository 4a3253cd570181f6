// Forms in memory: the form model (platform/form_model.h) with what stands in
// for the screen, and the clicks a person could make.
#include "platform/forms.h"

#include <cwctype>
#include <fstream>
#include <sstream>

#include "platform/drive_type.h"
#include "platform/files.h"
#include "platform/form_model.h"
#include "platform/headless/drive_map.h"
#include "platform/headless/headless.h"

namespace platform {
namespace {
wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

// The drive list's entry: the lower-case letter and colon, then the name in
// brackets, except for a diskette, which is never asked for one.
std::wstring DriveListText(wchar_t letter) {
  std::wstring text{Lower(letter), L':'};
  const auto* drive = headless::FindDrive(letter);
  if (drive && drive->type != kDriveRemovable && !drive->label.empty() && drive->ready)
    text += L" [" + drive->label + L"]";
  return text;
}

// "d:" or "d: [name]", as the drive list gives it.
bool IsDriveText(std::wstring_view text) {
  return text.size() >= 2 && text[1] == L':' &&
         (text.size() == 2 || (text.substr(2, 2) == L" [" && text.back() == L']'));
}

// What only the headless form keeps: the in-use log tests read.
struct HeadlessForm : FormModel {
  using FormModel::FormModel;
  std::vector<bool> inUseChanges;
};

HeadlessForm& StateOf(const Form& form) { return static_cast<HeadlessForm&>(FormModel::Of(form)); }

std::vector<headless::Repainted>& RepaintLog() {
  static std::vector<headless::Repainted> log;
  return log;
}
void ResetRepaints() { RepaintLog().clear(); }
const headless::ResetHook repaintHook{&ResetRepaints};
}  // namespace

// The build's resource folder stands in for the executable's resources.
std::wstring FormTextResource(std::uint16_t id) {
  if (id != 100) return {};
  std::ifstream in(std::filesystem::path(VXR_RESOURCE_DIR) / "licence.txt", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string utf8 = bytes.str();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

std::wstring ListStart(ControlKind list) {
  const std::wstring here = headless::CurrentDirectory();
  if (list == ControlKind::DriveList) return headless::FindDrive(here[0]) ? DriveListText(here[0]) : L"";
  return headless::IsFolder(here) ? here : L"";
}

struct Form::Impl : HeadlessForm {
  using HeadlessForm::HeadlessForm;
};

Form::Form(const FormDesign& design, FormEvents& events)
    : impl_(std::make_unique<Impl>(*this, design, events)) {}

Form::~Form() = default;

void Form::Show(const Form*) {
  if (!impl_->loaded) {
    impl_->Reset();
    if (!impl_->Load()) return;  // the load handler unloaded it
  }
  impl_->shown = true;
}

bool Form::Unload(CloseReason reason) { return impl_->FormModel::Unload(reason); }

bool Form::IsLoaded() const { return impl_->loaded; }
void Form::SetInUse(bool inUse) {
  impl_->inUse = inUse;
  impl_->inUseChanges.push_back(inUse);
}
bool Form::InUse() const { return impl_->inUse; }

void Form::SetText(ControlId control, std::wstring_view text) {
  if (control == kWindow)
    impl_->caption = text;
  else
    impl_->At(control).text = text;
}
std::wstring Form::Text(ControlId control) const {
  return control == kWindow ? impl_->caption : impl_->At(control).text;
}
void Form::Repaint(ControlId control) {
  if (control == kWindow)
    RepaintLog().push_back({impl_->caption, {}, {}});
  else
    RepaintLog().push_back({impl_->caption, std::string(Name(control)), impl_->At(control).text});
}

void Form::SetEnabled(ControlId control, bool enabled) { impl_->At(control).enabled = enabled; }
bool Form::Enabled(ControlId control) const { return impl_->At(control).enabled; }
void Form::SetVisible(ControlId control, bool visible) { impl_->At(control).visible = visible; }
bool Form::Visible(ControlId control) const { return impl_->At(control).visible; }

void Form::SetValue(ControlId control, int value) {
  impl_->SetValue(control, value, [](ControlId) {});
}
int Form::Value(ControlId control) const { return impl_->At(control).value; }

void Form::SetBounds(ControlId control, TwipsRect bounds) {
  if (control == kWindow)
    impl_->bounds = bounds;
  else
    impl_->At(control).bounds = bounds;
}
TwipsRect Form::Bounds(ControlId control) const {
  return control == kWindow ? impl_->bounds : impl_->At(control).bounds;
}
void Form::SetColour(ControlId control, std::uint32_t rgb) { impl_->At(control).colour = rgb; }
std::uint32_t Form::Colour(ControlId control) const { return impl_->At(control).colour; }

ControlId Form::AddCopy(ControlId original) { return impl_->AddCopy(original); }

void Form::SetIcon(IconId icon) { impl_->icon = icon; }
IconId Form::Icon() const { return impl_->icon; }
void Form::SetPicture(ControlId image, IconId icon) { impl_->At(image).picture = icon; }
IconId Form::Picture(ControlId image) const { return impl_->At(image).picture; }

bool Form::SetDrive(ControlId driveList, std::wstring_view drive) {
  if (drive.size() < 2 || drive[1] != L':') return false;
  const wchar_t letter = Lower(drive[0]);
  if (headless::DriveLetters().find(letter) == std::wstring::npos) return false;
  auto& c = impl_->At(driveList);
  if (!c.drive.empty() && c.drive[0] == letter) return true;
  c.drive = DriveListText(letter);
  impl_->events.Change(driveList);
  return true;
}
std::wstring Form::Drive(ControlId driveList) const { return impl_->At(driveList).drive; }

bool Form::SetPath(ControlId folderList, std::wstring_view path) {
  if (path.empty()) return false;
  // A drive text opens the drive's current folder: its letter and colon say it all.
  const std::wstring full = headless::FullPath(IsDriveText(path) ? path.substr(0, 2) : path);
  if (!headless::IsFolder(full)) return false;
  impl_->At(folderList).path = full;
  return true;
}
std::wstring Form::Path(ControlId folderList) const { return impl_->At(folderList).path; }

}  // namespace platform

namespace headless {

using platform::ControlId;
using platform::Form;
using platform::FormModel;

platform::Form* FindForm(std::wstring_view caption) {
  for (auto* form : FormModel::Live())
    if (form->loaded && form->caption == caption) return &form->self;
  return nullptr;
}

std::vector<std::wstring> LoadedFormCaptions() {
  std::vector<std::wstring> captions;
  const auto& forms = FormModel::Live();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->loaded) captions.push_back((*it)->caption);
  return captions;
}

const std::vector<Repainted>& Repaints() { return platform::RepaintLog(); }

bool IsShown(const Form& form) { return FormModel::Of(form).shown; }

bool CanPress(const Form& form, std::string_view control) {
  const FormModel& model = FormModel::Of(form);
  if (!model.loaded || !model.shown || !model.inUse) return false;
  for (ControlId id = model.Find(control); id != platform::kWindow; id = model.At(id).design->container) {
    if (id == platform::kNoControl) return false;
    if (!model.At(id).visible || !model.At(id).enabled) return false;
  }
  return true;
}

bool Click(Form& form, std::string_view control) {
  if (!CanPress(form, control)) return false;
  const ControlId id = form.Find(control);
  switch (form.Kind(id)) {
    case platform::ControlKind::CheckBox: form.SetValue(id, form.Value(id) ? 0 : 1); break;
    case platform::ControlKind::OptionButton: form.SetValue(id, 1); break;
    default: break;
  }
  FormModel::Of(form).events.Click(id);
  return true;
}

bool PressCloseBox(Form& form) {
  const FormModel& model = FormModel::Of(form);
  if (!model.loaded || !model.shown || !model.inUse) return false;
  form.Unload(platform::CloseReason::ControlMenu);
  return true;
}

bool SelectDrive(Form& form, std::string_view driveList, std::wstring_view drive) {
  if (!CanPress(form, driveList)) return false;
  return form.SetDrive(form.Find(driveList), drive);
}

bool OpenFolder(Form& form, std::string_view folderList, std::wstring_view name) {
  if (!CanPress(form, folderList)) return false;
  const ControlId id = form.Find(folderList);
  const std::wstring current = form.Path(id);
  std::wstring target = current;
  if (name == L"..") {
    if (current.size() <= 3) return false;
    target = FullPath(current + L"\\..");
  } else {
    if (name.empty() || name.find_first_of(L"\\/") != std::wstring_view::npos) return false;
    target = FullPath(current + L"\\" + std::wstring(name));
  }
  if (!form.SetPath(id, target)) return false;
  FormModel::Of(form).events.Change(id);
  return true;
}

const std::vector<bool>& InUseChanges(const Form& form) { return platform::StateOf(form).inUseChanges; }

}  // namespace headless
