// The program's event loop, as the logic sees it.
#pragma once

namespace platform {

// Runs every handler whose event is waiting (close requests included), then returns.
void ProcessPendingEvents();

// Dispatches window events until the program ends; returns its exit code.
int RunEventLoop();

// Stops the process at once: no close handler of any window runs.
[[noreturn]] void EndProgram();

}  // namespace platform
