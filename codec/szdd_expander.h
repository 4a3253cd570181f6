// A portable expander for SZDD files with LZ32's observable results. The
// headless LZ service and the host tools use it; the Windows build uses LZ32.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vxr::szdd {

// LZ32's error codes (LZERROR_*).
inline constexpr std::int32_t kLzErrorBadInHandle = -1, kLzErrorBadOutHandle = -2, kLzErrorRead = -3,
                              kLzErrorWrite = -4, kLzErrorGlobalAlloc = -5, kLzErrorGlobalLock = -6,
                              kLzErrorBadValue = -7, kLzErrorUnknownAlg = -8;

// The file starts with the SZDD signature.
bool HasHeader(std::span<const std::uint8_t> file);

// Expands a whole file held in memory, with LZ32's observable results: the byte
// count written (>= 0), or a negative LZERROR code. A file without the SZDD
// header is copied unchanged. `out` is replaced by the expanded bytes (on a
// failure it holds what was expanded before the failure).
std::int32_t ExpandBuffer(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& out);

}  // namespace vxr::szdd
