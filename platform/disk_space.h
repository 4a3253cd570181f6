// Free space on a drive, in bytes: 64 bits, because today's disks overflow 32.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/files.h"

namespace platform {

struct FreeSpace {
  DosError error;       // 0 when the figure is valid
  std::uint64_t bytes;  // what this user may still write (quotas count)
};

// The free space of the drive whose root is `root` ("c:\"). A drive without a
// medium fails with ERROR_NOT_READY rather than asking for one.
FreeSpace FreeBytes(std::wstring_view root);

}  // namespace platform
