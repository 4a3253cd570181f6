#include "platform/system_info.h"

#include <windows.h>

#include "platform/win32/gui.h"

namespace platform {

namespace {
// A W call that fills a buffer: asked again with the length it says it needs
// until the text fits. Empty when the call fails.
template <typename Call>
std::wstring GrowingBufferCall(Call call) {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD result = call(static_cast<DWORD>(buffer.size()), buffer.data());
    if (result == 0) return {};
    if (result < buffer.size()) {
      buffer.resize(result);
      return buffer;
    }
    buffer.resize(result + 1);
  }
}
}  // namespace

std::wstring TempFolder() {
  return GrowingBufferCall([](DWORD length, wchar_t* buffer) { return GetTempPathW(length, buffer); });
}

std::wstring WindowsFolder() {
  return GrowingBufferCall(
      [](DWORD length, wchar_t* buffer) { return GetWindowsDirectoryW(buffer, length); });
}

PixelRect WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left, area.top, area.right, area.bottom};
}

int TwipsPerPixelX() { return 1440 / win32::LogPixelsX(); }
int TwipsPerPixelY() { return 1440 / win32::LogPixelsY(); }

}  // namespace platform
