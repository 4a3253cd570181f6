// The uninstaller's run from the temporary folder (see launch.h).
#pragma once

#include <cstdint>
#include <string>

namespace vxr::uninstaller {

// Copies this program into the temporary folder and starts the copy with
// CopyCommandLine. The copy's file is open for deletion on close, and the copy
// inherits that handle: the system deletes the file when the copy ends. False
// when the copy cannot be made or started; nothing is left behind then.
bool StartTemporaryCopy(const std::wstring& self);

// In the copy: waits until the uninstaller that started it has ended, so that
// its file can be deleted.
void WaitForOriginal(std::uintptr_t processHandle);

}  // namespace vxr::uninstaller
