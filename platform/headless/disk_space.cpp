#include "platform/disk_space.h"

#include <filesystem>
#include <system_error>

#include "platform/headless/drive_map.h"
#include "platform/headless/headless.h"

namespace platform {

FreeSpace FreeBytes(std::wstring_view root) {
  if (const auto injected = headless::TakeInjectedFailure("FreeBytes", root)) return {injected, 0};
  const auto* drive = root.size() >= 2 && root[1] == L':' ? headless::FindDrive(root[0]) : nullptr;
  if (!drive) return {kErrorPathNotFound, 0};
  if (!drive->ready || drive->folder.empty()) return {kErrorNotReady, 0};
  if (drive->freeBytes) return {kErrorSuccess, *drive->freeBytes};
  std::error_code ec;
  const auto space = std::filesystem::space(drive->folder, ec);
  if (ec) return {headless::DosErrorFromErrno(ec.value()), 0};
  return {kErrorSuccess, space.available};
}

}  // namespace platform
