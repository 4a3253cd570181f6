// Facts about the system the setup runs on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// GetTempPathA / GetWindowsDirectoryA into a buffer of `bufferLength`
// characters: the text as the call leaves it, its length the call's result.
std::wstring TempPath(std::uint32_t bufferLength);
std::wstring WindowsDirectory(std::uint32_t bufferLength);

struct PixelRect {
  int left, top, right, bottom;
};
PixelRect WorkArea();  // SystemParametersInfo(SPI_GETWORKAREA)

int TwipsPerPixelX();
int TwipsPerPixelY();

}  // namespace platform
