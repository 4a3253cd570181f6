#include "wizard/form2.h"

#include <array>
#include <cmath>

#include "platform/events.h"
#include "platform/system_info.h"

namespace vxr {
namespace {

using platform::ControlKind;
using platform::ControlDesign;
constexpr std::int8_t kWin = platform::kWindow;
constexpr std::uint32_t kWhite = platform::Rgb(255, 255, 255);

const std::array<ControlDesign, Form2::kControlCount> kControls{{
    {"Label1", ControlKind::Label, kWin, 300, 720, 8595, 555, L"Tarvo's Screen Recorder v.2.4b", true, true,
     platform::kTransparent | platform::kBold | platform::kItalic, L"MS Sans Serif", 24, kWhite},
    // The maker's name alone: it stays on one line of the designed width in
    // whatever font stands in for MS Sans Serif.
    {"Label2", ControlKind::Label, kWin, 300, 1440, 3555, 555, L"Ambretton", true, true,
     platform::kTransparent | platform::kBold | platform::kItalic, L"MS Sans Serif", 18, kWhite},
    {"Shape1(0)", ControlKind::Shape, kWin, 0, 0, 11715, 75, L"", true, true, platform::kStyleNone, nullptr, 0,
     platform::kDefaultColour, platform::Rgb(0, 0, 255)},
}};

// The window has no caption bar, so its title shows nowhere; it must not be
// either title of the product's main window, which the running-copy check and
// anything waiting for the product look for.
const platform::FormDesign kDesign{
    L"Screen Recorder Setup", platform::FormFrame::None, 11715, 8000, false, false, kControls};

}  // namespace

Form2::Form2() : window_(kDesign, *this) {}

platform::ControlId Form2::Shape1(int k) const {
  // Band 0 is the designed control; the copies follow the design table.
  return k == 0 ? Shape1_0 : kControlCount + k - 1;
}

void Form2::Form_Load() {
  const platform::PixelRect area = platform::WorkArea();
  // The height comes from the work area's bottom edge, and reaches a fifth
  // further, under the task bar.
  const int width = area.right * platform::TwipsPerPixelX();
  const int height = static_cast<int>(std::lround(area.bottom * platform::TwipsPerPixelY() * 1.2));
  window_.SetBounds(platform::kWindow, {0, 0, width, height});

  platform::TwipsRect band0 = window_.Bounds(Shape1_0);
  band0.width = width;
  window_.SetBounds(Shape1_0, band0);
  window_.SetColour(Shape1_0, platform::Rgb(0, 0, 0));

  int k = 1;
  int blue = 3;
  platform::TwipsRect previous = band0;
  for (;;) {
    const platform::ControlId band = window_.AddCopy(Shape1_0);
    platform::TwipsRect bounds = previous;
    bounds.top = previous.top + previous.height;
    window_.SetBounds(band, bounds);
    window_.SetColour(band, platform::Rgb(0, 0, static_cast<std::uint8_t>(blue)));
    window_.SetVisible(band, true);
    bandCount_ = k + 1;
    platform::ProcessPendingEvents();  // the backdrop grows visibly from the top down
    ++k;
    blue += 3;
    if (k > 80 && blue > 6) blue -= 6;
    previous = bounds;
    if (!(bounds.top <= height + bounds.height)) break;
  }
}

}  // namespace vxr
