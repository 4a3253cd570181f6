// Facts about the system the setup runs on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The user's temporary folder (GetTempPath: ends in a backslash), whatever its
// length; empty when the system cannot tell.
std::wstring TempFolder();
// The Windows folder (GetWindowsDirectory: no backslash but at a root).
std::wstring WindowsFolder();

struct PixelRect {
  int left, top, right, bottom;
};
PixelRect WorkArea();  // SystemParametersInfo(SPI_GETWORKAREA)

int TwipsPerPixelX();
int TwipsPerPixelY();

}  // namespace platform
