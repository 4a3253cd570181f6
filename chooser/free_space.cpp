#include "chooser/free_space.h"

#include "platform/number_format.h"

namespace vxr {

std::int64_t RoundedKilobytes(std::uint64_t bytes) {
  std::uint64_t kilobytes = bytes / 1024;
  const std::uint64_t rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && kilobytes % 2 == 1)) ++kilobytes;
  return static_cast<std::int64_t>(kilobytes);
}

std::wstring FreeSpaceText(std::int64_t kilobytes) {
  const std::wstring figure =
      kilobytes > 0 ? platform::FormatGrouped(static_cast<std::uint64_t>(kilobytes)) : std::wstring();
  return figure + L" KB";
}

}  // namespace vxr
