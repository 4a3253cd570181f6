// Windows and their controls, as the setup's forms use them.
//
// A form is described by a table (FormDesign) of named controls with positions in
// twips relative to their container; the platform creates the real window on
// first use and raises the form's events through FormEvents. Control ids are
// indexes into the form's table; kWindow stands for the window itself and
// kNoControl for a name the table does not hold.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

using ControlId = int;
inline constexpr ControlId kWindow = -1;
inline constexpr ControlId kNoControl = -2;

enum class ControlKind : std::uint8_t {
  Panel,  // frame without caption; holds other controls
  Label,
  Button,
  CheckBox,
  OptionButton,  // excludes the other option buttons of its container
  TextBox,
  PictureBox,  // holds other controls
  Image,       // shows an icon
  Shape,       // filled rectangle
  DriveList,   // drive list box: Drive property, Change event
  FolderList,  // directory list box: Path property
};

// Extra looks, or-ed together.
enum ControlStyle : std::uint32_t {
  kStyleNone = 0,
  kCentred = 1u << 0,         // label text centred
  kMultiLine = 1u << 1,       // text box
  kReadOnly = 1u << 2,        // text box
  kVerticalScroll = 1u << 3,  // text box
  kTransparent = 1u << 4,     // label drawn over what lies behind it
  kBold = 1u << 5,
  kItalic = 1u << 6,
};

inline constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;
// Colours are 0x00BBGGRR, as Windows' RGB() makes them.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return std::uint32_t{r} | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16);
}

struct ControlDesign {
  const char* name;  // "Command2", "Frame1(3)"
  ControlKind kind;
  std::int8_t container;                  // index of the containing control in the same table, or kWindow
  std::int16_t left, top, width, height;  // twips, relative to the container
  const wchar_t* text;                    // caption, or a text box's contents
  bool visible = true;
  bool enabled = true;
  std::uint32_t style = kStyleNone;
  const wchar_t* fontName = nullptr;  // nullptr: the system's dialog font
  std::uint8_t fontPoints = 0;
  std::uint32_t foreColour = kDefaultColour;
  std::uint32_t backColour = kDefaultColour;
  std::uint16_t textResource = 0;  // nonzero: the design text is this text resource
};

enum class FormFrame : std::uint8_t {
  FixedSingle,  // caption bar with a close box, no minimise or maximise
  FixedTool,    // dialog frame with a close box, no task-bar button
  None,         // no border and no caption bar
};

struct FormDesign {
  const wchar_t* caption;
  FormFrame frame;
  int clientWidth, clientHeight;  // twips
  bool centred;
  bool programIcon;  // carries the program's icon
  std::span<const ControlDesign> controls;
};

// Why a window is being closed, as Form_QueryUnload receives it.
enum class CloseReason : int { ControlMenu = 0, Code = 1, WindowsShutdown = 2, TaskManager = 3 };

// An icon the platform can show; 0 is none, kProgramIcon the program's own.
using IconId = int;
inline constexpr IconId kNoIcon = 0;
inline constexpr IconId kProgramIcon = 1;

struct TwipsRect {
  int left, top, width, height;
};

// The form's side: every handler runs on the GUI thread, one at a time.
class FormEvents {
 public:
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(bool& cancel, CloseReason reason) {
    (void)cancel;
    (void)reason;
  }
  virtual void Form_Unload(bool& cancel) { (void)cancel; }
  virtual void Click(ControlId control) { (void)control; }
  virtual void Change(ControlId control) { (void)control; }

 protected:
  ~FormEvents() = default;
};

class Form {
 public:
  Form(const FormDesign& design, FormEvents& events);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window on first use (Form_Load runs before it becomes visible)
  // and shows it non-modally; returns at once. A form shown with an owner
  // stays in front of it, and activating the owner brings it forward.
  void Show(const Form* owner = nullptr);
  // Form_QueryUnload, then Form_Unload; either may refuse. True when the
  // window is gone; its controls return to their design state on next Show.
  bool Unload(CloseReason reason = CloseReason::Code);
  bool IsLoaded() const;

  // Out of use: the window and all its controls take no input.
  void SetInUse(bool inUse);
  bool InUse() const;

  ControlId Find(std::string_view name) const;  // kNoControl when there is no such control
  std::string_view Name(ControlId control) const;
  ControlKind Kind(ControlId control) const;
  int ControlCount() const;

  void SetText(ControlId control, std::wstring_view text);  // kWindow: the caption
  std::wstring Text(ControlId control) const;
  void Repaint(ControlId control);  // on screen before the next statement; kWindow: whole window

  void SetEnabled(ControlId control, bool enabled);
  bool Enabled(ControlId control) const;
  void SetVisible(ControlId control, bool visible);
  bool Visible(ControlId control) const;
  // Check box: 1 ticked. Option button: 1 selected (deselects its siblings).
  // Setting a value from code raises no event.
  void SetValue(ControlId control, int value);
  int Value(ControlId control) const;

  void SetBounds(ControlId control, TwipsRect bounds);  // kWindow: the window's outer size
  TwipsRect Bounds(ControlId control) const;
  void SetColour(ControlId control, std::uint32_t rgb);  // a shape's fill and back colour
  std::uint32_t Colour(ControlId control) const;
  // A new, hidden control like `original` (an indexed control array's Load).
  ControlId AddCopy(ControlId original);

  void SetIcon(IconId icon);  // the window's icon
  IconId Icon() const;
  void SetPicture(ControlId image, IconId icon);
  IconId Picture(ControlId image) const;

  // Drive list: the selected entry, "c: [label]" (a volume label, or a network
  // drive's share name), or the bare lower-case "a:" for a diskette and any
  // drive without a name. It starts on the current drive. Setting it from a
  // text that begins with a drive letter and colon selects that drive and, when
  // the selection changes, raises Change at once, also from inside Change.
  // False when no such drive is in the list.
  bool SetDrive(ControlId driveList, std::wstring_view drive);
  std::wstring Drive(ControlId driveList) const;
  // Folder list: absolute path, a trailing "\" only at a root; it starts on the
  // current folder. A drive text ("d:" or "d: [label]") opens that drive's
  // current folder. False, and the list unchanged, when the folder cannot be
  // opened (missing, a file, or its drive not ready).
  bool SetPath(ControlId folderList, std::wstring_view path);
  std::wstring Path(ControlId folderList) const;

 private:
  struct Impl;  // the backend's: platform/form_model.h and what stands for the screen
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
