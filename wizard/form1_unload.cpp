// Every way out of the setup passes through the wizard's close handler.
#include "platform/events.h"
#include "wizard/form1.h"

namespace vxr {

void Form1::Form_Unload(bool& cancel) {
  (void)cancel;
  // Nothing has been written yet that closing would have to clean up.
  platform::EndProgram();
}

}  // namespace vxr
