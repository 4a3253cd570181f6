#include "wizard/form1_layout.h"

#include <array>

#include "resources/resource_ids.h"
#include "wizard/form1.h"

namespace vxr {
namespace {

using platform::ControlKind;
using platform::ControlDesign;
using F = Form1;
constexpr std::int8_t kWin = platform::kWindow;

// Left, top, width, height in twips, relative to the container.
constexpr std::array<ControlDesign, F::kControlCount> kControls{{
    {"Frame2", ControlKind::Panel, kWin, 60, 0, 795, 3075, L""},
    {"Picture1", ControlKind::PictureBox, F::Frame2, 120, 180, 555, 555, L""},
    {"Image1", ControlKind::Image, F::Picture1, 15, 15, 435, 435, L""},
    {"Frame1(1)", ControlKind::Panel, kWin, 960, 0, 4035, 2655, L""},
    {"Label1", ControlKind::Label, F::Frame1_1, 120, 240, 3795, 975,
     L"Screen Recorder is going to be installed in your computer. Please click on the 'Next' "
     L"button for determining a directory."},
    {"Frame1(2)", ControlKind::Panel, kWin, 960, 0, 4035, 2655, L"", false},
    {"Label3", ControlKind::Label, F::Frame1_2, 180, 240, 3735, 315, L"Please read before you continue :"},
    {"Text1", ControlKind::TextBox, F::Frame1_2, 120, 540, 3795, 1515, L"", true, true,
     platform::kMultiLine | platform::kReadOnly | platform::kVerticalScroll, nullptr, 0,
     platform::kDefaultColour, platform::kDefaultColour, VXR_TEXT_LICENCE},
    {"Option1", ControlKind::OptionButton, F::Frame1_2, 180, 2100, 3495, 195, L"Yes I Agree."},
    {"Option2", ControlKind::OptionButton, F::Frame1_2, 180, 2340, 3675, 195, L"No I Do Not Agree."},
    {"Frame1(3)", ControlKind::Panel, kWin, 960, 60, 4035, 2595, L"", false},
    {"Label9", ControlKind::Label, F::Frame1_3, 180, 240, 3735, 615,
     L"Click on the 'Next' button for installing Screen Recorder into the following directory :"},
    {"Label10", ControlKind::Label, F::Frame1_3, 180, 1200, 3795, 435, L""},
    {"Command4", ControlKind::Button, F::Frame1_3, 2160, 2160, 1755, 315, L"Change Dir"},
    {"Frame1(4)", ControlKind::Panel, kWin, 960, 60, 4035, 2595, L"", false},
    {"Label11", ControlKind::Label, F::Frame1_4, 120, 240, 3795, 855, L""},
    {"Label12", ControlKind::Label, F::Frame1_4, 120, 1080, 3555, 555, L"", true, true, platform::kCentred},
    {"Check1", ControlKind::CheckBox, F::Frame1_4, 1980, 2220, 1815, 195, L"Run VXR now.", false},
    {"Command3", ControlKind::Button, kWin, 960, 2760, 855, 315, L"Cancel"},
    {"Command1", ControlKind::Button, kWin, 3120, 2760, 855, 315, L"<< Back", true, false},
    {"Command2", ControlKind::Button, kWin, 4080, 2760, 855, 315, L"Next >>"},
}};

constexpr platform::FormDesign kDesign{Form1::kCaption, platform::FormFrame::FixedSingle, 5055, 3165,
                                     true, true, kControls};

}  // namespace

const platform::FormDesign& Form1Design() { return kDesign; }

}  // namespace vxr
