// The setup program: the backdrop and the wizard, then their events.
#include "platform/events.h"
#include "wizard/module1.h"

int main() {
  vxr::Main();
  return platform::RunEventLoop();
}
