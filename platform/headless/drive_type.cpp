#include "platform/drive_type.h"

#include "platform/headless/drive_map.h"

namespace platform {

std::uint32_t DriveTypeOf(std::wstring_view root) {
  if (root.size() < 3 || root[1] != L':' || (root[2] != L'\\' && root[2] != L'/')) return kDriveNoRootDir;
  const auto* drive = headless::FindDrive(root[0]);
  return drive ? drive->type : kDriveNoRootDir;
}

}  // namespace platform
