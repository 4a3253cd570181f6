// Forms in memory: the same properties, events and rules as the real windows,
// with the clicks a person could make.
#include "platform/forms.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <sstream>

#include "platform/drive_type.h"
#include "platform/files.h"
#include "platform/headless/drive_map.h"
#include "platform/headless/headless.h"

namespace platform {
namespace {
// The build's resource folder stands in for the executable's resources.
std::wstring TextResource(std::uint16_t id) {
  if (id != 100) return {};
  std::ifstream in(std::filesystem::path(VXR_RESOURCE_DIR) / "licence.txt", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string utf8 = bytes.str();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

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
}  // namespace

struct Control {
  const ControlDesign* design;  // design state
  std::wstring text;
  bool enabled = true, visible = true;
  int value = 0;
  TwipsRect bounds{};
  std::uint32_t colour = kDefaultColour;
  IconId picture = kNoIcon;
  std::wstring drive, path;
};

struct Form::Impl {
  const FormDesign* design;
  FormEvents* events;
  bool loaded = false, shown = false, inUse = true;
  std::wstring caption;
  IconId icon = kNoIcon;
  TwipsRect bounds{};
  std::vector<Control> controls;
  std::vector<bool> inUseChanges;

  void Design() {
    controls.clear();
    for (const auto& c : design->controls) {
      Control control{&c,
                      c.textResource ? TextResource(c.textResource) : std::wstring(c.text ? c.text : L""),
                      c.enabled,
                      c.visible,
                      0,
                      {c.left, c.top, c.width, c.height},
                      c.backColour,
                      kNoIcon,
                      {},
                      {}};
      // Drive and folder lists start where the program stands.
      const std::wstring here = headless::CurrentDirectory();
      if (c.kind == ControlKind::DriveList && headless::FindDrive(here[0]))
        control.drive = DriveListText(here[0]);
      if (c.kind == ControlKind::FolderList && headless::IsFolder(here)) control.path = here;
      controls.push_back(control);
    }
    caption = design->caption;
    icon = design->programIcon ? kProgramIcon : kNoIcon;
    bounds = {0, 0, design->clientWidth, design->clientHeight};
    inUse = true;
  }
  Control& At(ControlId id) { return controls.at(static_cast<std::size_t>(id)); }
  const Control& At(ControlId id) const { return controls.at(static_cast<std::size_t>(id)); }
  ControlId Container(ControlId id) const { return At(id).design->container; }
};

namespace {
std::vector<Form*>& LiveForms() {
  static std::vector<Form*> forms;
  return forms;
}
std::vector<headless::Repainted>& RepaintLog() {
  static std::vector<headless::Repainted> log;
  return log;
}
void ResetRepaints() { RepaintLog().clear(); }
const headless::ResetHook repaintHook{&ResetRepaints};
}  // namespace

Form::Form(const FormDesign& design, FormEvents& events) : impl_(std::make_unique<Impl>()) {
  impl_->design = &design;
  impl_->events = &events;
  impl_->Design();
  LiveForms().push_back(this);
}

Form::~Form() { std::erase(LiveForms(), this); }

void Form::Show(const Form*) {
  if (!impl_->loaded) {
    impl_->Design();
    impl_->loaded = true;
    impl_->events->Form_Load();
    if (!impl_->loaded) return;  // the load handler unloaded it
  }
  impl_->shown = true;
}

bool Form::Unload(CloseReason reason) {
  if (!impl_->loaded) return true;
  bool cancel = false;
  impl_->events->Form_QueryUnload(cancel, reason);
  if (cancel) return false;
  impl_->events->Form_Unload(cancel);
  if (cancel) return false;
  impl_->loaded = false;
  impl_->shown = false;
  return true;
}

bool Form::IsLoaded() const { return impl_->loaded; }
void Form::SetInUse(bool inUse) {
  impl_->inUse = inUse;
  impl_->inUseChanges.push_back(inUse);
}
bool Form::InUse() const { return impl_->inUse; }

ControlId Form::Find(std::string_view name) const {
  for (std::size_t i = 0; i < impl_->controls.size(); ++i)
    if (name == impl_->controls[i].design->name) return static_cast<ControlId>(i);
  return -2;
}
std::string_view Form::Name(ControlId control) const { return impl_->At(control).design->name; }
ControlKind Form::Kind(ControlId control) const { return impl_->At(control).design->kind; }
int Form::ControlCount() const { return static_cast<int>(impl_->controls.size()); }

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
  auto& c = impl_->At(control);
  c.value = value;
  if (c.design->kind == ControlKind::OptionButton && value != 0) {
    for (auto& other : impl_->controls)
      if (&other != &c && other.design->kind == ControlKind::OptionButton &&
          other.design->container == c.design->container)
        other.value = 0;
  }
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

ControlId Form::AddCopy(ControlId original) {
  Control copy = impl_->At(original);
  copy.visible = false;
  impl_->controls.push_back(copy);
  return static_cast<ControlId>(impl_->controls.size() - 1);
}

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
  impl_->events->Change(driveList);
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

platform::Form* FindForm(std::wstring_view caption) {
  for (auto* form : platform::LiveForms())
    if (form->IsLoaded() && form->Text(platform::kWindow) == caption) return form;
  return nullptr;
}

std::vector<std::wstring> LoadedFormCaptions() {
  std::vector<std::wstring> captions;
  const auto& forms = platform::LiveForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->IsLoaded()) captions.push_back((*it)->Text(platform::kWindow));
  return captions;
}

const std::vector<Repainted>& Repaints() { return platform::RepaintLog(); }

bool IsShown(const Form& form) { return const_cast<Form&>(form).impl().shown; }

bool CanPress(const Form& form, std::string_view control) {
  auto& impl = const_cast<Form&>(form).impl();
  if (!impl.loaded || !impl.shown || !impl.inUse) return false;
  for (ControlId id = form.Find(control); id != platform::kWindow; id = impl.Container(id)) {
    if (id < 0) return false;
    if (!impl.At(id).visible || !impl.At(id).enabled) return false;
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
  form.impl().events->Click(id);
  return true;
}

bool PressCloseBox(Form& form) {
  auto& impl = form.impl();
  if (!impl.loaded || !impl.shown || !impl.inUse) return false;
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
  form.impl().events->Change(id);
  return true;
}

const std::vector<bool>& InUseChanges(const Form& form) {
  return const_cast<Form&>(form).impl().inUseChanges;
}

}  // namespace headless
