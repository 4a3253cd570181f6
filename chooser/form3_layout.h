#pragma once

#include "platform/forms.h"

namespace vxr {
// The chooser's design: caption, frame, size and every control in tab order.
const platform::FormDesign& Form3Design();
}  // namespace vxr
