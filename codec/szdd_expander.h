// A portable expander for SZDD files with LZ32's observable results. The
// headless LZ service and the host tools use it; the Windows build uses LZ32.
// One decoding loop serves both forms: a whole file in memory, and a stream
// that needs only the format's 4 KiB window and two fixed blocks, whatever
// the file's size.
#pragma once

#include <cstddef>
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

// Where a stream's compressed bytes come from.
class ByteSource {
 public:
  // Fills the front of `buffer`: the number of bytes read, 0 at the end of
  // the data only, negative on a failure.
  virtual std::ptrdiff_t Read(std::span<std::uint8_t> buffer) = 0;

 protected:
  ~ByteSource() = default;
};

// Where the expanded bytes go, in blocks of about the stream's block size
// (never more than twice that).
class ByteSink {
 public:
  // False on a failure: the expansion stops.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;

 protected:
  ~ByteSink() = default;
};

inline constexpr std::size_t kStreamBlock = std::size_t{1} << 20;

// Expands `in` into `out` as ExpandBuffer would, reading and writing `block`
// bytes at a time: the byte count written (>= 0; not limited to LZ32's
// 2 GiB), or kLzErrorRead when the source fails, kLzErrorWrite when the sink
// fails, kLzErrorGlobalAlloc when the blocks cannot be had. What was expanded
// before a failure has been written. Its memory: two blocks and the window.
std::int64_t ExpandStream(ByteSource& in, ByteSink& out, std::size_t block = kStreamBlock);

}  // namespace vxr::szdd
