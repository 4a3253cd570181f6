#include "platform/drive_type.h"

#include <windows.h>

#include <string>

namespace platform {

std::uint32_t DriveTypeOf(std::wstring_view root) { return GetDriveTypeW(std::wstring(root).c_str()); }

}  // namespace platform
