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
constexpr std::array<ControlDesign, Form3::kControlCount> kControls{{
    {"Dir1", ControlKind::FolderList, kWin, 240, 420, 2715, 1665, L""},
    {"Drive1", ControlKind::DriveList, kWin, 240, 2220, 2715, 315, L""},
    {"Command1", ControlKind::Button, kWin, 3240, 1260, 1155, 315, L""},
    {"Command2", ControlKind::Button, kWin, 3240, 1740, 1155, 315, L""},
    {"Label1", ControlKind::Label, kWin, 240, 120, 3075, 195, L""},
    {"Label2", ControlKind::Label, kWin, 3060, 600, 1455, 195, L""},
    {"Label3", ControlKind::Label, kWin, 3000, 900, 1575, 195, L""},
    {"Command3", ControlKind::Button, kWin, 3240, 2220, 1155, 315, L"Cancel"},
}};

constexpr platform::FormDesign kDesign{
    Form3::kCaption, platform::FormFrame::FixedTool, 4605, 2835, true, false, kControls};

}  // namespace

const platform::FormDesign& Form3Design() { return kDesign; }

}  // namespace vxr
