#include "platform/disk_space.h"

#include <windows.h>

#include <string>

#include "platform/win32/error_mode.h"

namespace platform {

FreeSpace FreeBytes(std::wstring_view root) {
  // An empty drive answers "not ready" instead of asking the user for a disk.
  const win32::NoCriticalErrorBoxes quiet;
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExW(std::wstring(root).c_str(), &available, &total, &free)) return {GetLastError(), 0};
  return {kErrorSuccess, available.QuadPart};
}

}  // namespace platform
