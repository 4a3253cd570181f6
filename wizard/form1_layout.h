#pragma once

#include "platform/forms.h"

namespace vxr {
// The wizard window's design: caption, frame, size and every control.
const platform::FormDesign& Form1Design();
}  // namespace vxr
