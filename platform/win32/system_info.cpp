#include "platform/system_info.h"

#include <windows.h>

#include "platform/win32/gui.h"
#include "platform/win32/win32_text.h"

namespace platform {

namespace {
// What an A call leaves in a buffer of `length` characters: its result is the
// length of the text, or the size it would have needed when the buffer is too
// small, in which case the buffer holds nothing.
template <typename Call>
std::wstring AsBufferCall(std::uint32_t length, Call call) {
  std::string buffer(length + 1, '\0');
  const DWORD result = call(static_cast<DWORD>(length), buffer.data());
  buffer.resize(result < length ? result : length);
  buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
  return win32::ToWide(buffer, CP_ACP);
}
}  // namespace

std::wstring TempPath(std::uint32_t bufferLength) {
  return AsBufferCall(bufferLength, [](DWORD length, char* buffer) { return GetTempPathA(length, buffer); });
}

std::wstring WindowsDirectory(std::uint32_t bufferLength) {
  return AsBufferCall(bufferLength,
                      [](DWORD length, char* buffer) { return GetWindowsDirectoryA(buffer, length); });
}

PixelRect WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left, area.top, area.right, area.bottom};
}

int TwipsPerPixelX() { return 1440 / win32::LogPixelsX(); }
int TwipsPerPixelY() { return 1440 / win32::LogPixelsY(); }

}  // namespace platform
