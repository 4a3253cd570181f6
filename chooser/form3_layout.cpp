#include "chooser/form3_layout.h"

#include <array>

#include "chooser/form3.h"

namespace vxr {
namespace {

using platform::ControlDesign;
using platform::ControlKind;
constexpr std::int8_t kWin = platform::kWindow;

// Left, top, width, height in twips. The captions of Label1, Label2, Command1
// and Command2 are set by the opening sequence.
//
// The labels were laid out for an 8-point MS Sans Serif; in the system's dialog
// font their texts run wider. So the heading runs on to the right margin, over
// empty space, and the free-space heading and figure are centred in the whole
// column right of the folder list, two lines high each (a long heading or a
// figure of many digits wraps rather than being cut), the heading raised a
// little so that both end where the buttons begin.
constexpr std::array<ControlDesign, Form3::kControlCount> kControls{{
    {"Dir1", ControlKind::FolderList, kWin, 240, 420, 2715, 1665, L""},
    {"Drive1", ControlKind::DriveList, kWin, 240, 2220, 2715, 315, L""},
    {"Command1", ControlKind::Button, kWin, 3240, 1260, 1155, 315, L""},
    {"Command2", ControlKind::Button, kWin, 3240, 1740, 1155, 315, L""},
    {"Label1", ControlKind::Label, kWin, 240, 120, 4125, 195, L""},
    {"Label2", ControlKind::Label, kWin, 2985, 480, 1620, 390, L"", true, true, platform::kCentred},
    {"Label3", ControlKind::Label, kWin, 2985, 870, 1620, 390, L"", true, true, platform::kCentred},
    {"Command3", ControlKind::Button, kWin, 3240, 2220, 1155, 315, L"Cancel"},
}};

constexpr platform::FormDesign kDesign{
    Form3::kCaption, platform::FormFrame::FixedTool, 4605, 2835, true, false, kControls};

}  // namespace

const platform::FormDesign& Form3Design() { return kDesign; }

}  // namespace vxr
