// The installation that runs when the finish page is shown.
#include "wizard/form1.h"

namespace vxr {

void Form1::InstallFiles() {
  // The finish page is shown; the payload is installed from here once the
  // engine is in place.
}

}  // namespace vxr
