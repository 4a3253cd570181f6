#include "codec/szdd_expander.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>

#include "codec/szdd_format.h"

namespace vxr::szdd {
namespace {

// One flag byte governs 8 items; each item is a literal (1 byte in, 1 out) or
// a match (2 bytes in, up to 18 out). These bound a group's bytes both ways.
constexpr std::size_t kGroupInMax = 1 + 8 * 2;
constexpr std::size_t kGroupOutMax = 8 * kMaxMatch;

// The output buffer doubles as the window: the byte written n-th sits in window
// slot (kWindowStart + n) mod 4096, so a match's slot is a fixed distance back
// in the output, and slots not yet written still hold the initial spaces.
class Decoder {
 public:
  Decoder(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) : in_(data), out_(out) {}

  // False when the buffer could not grow.
  bool Run(std::size_t sizeHint) {
    // Whatever the header says, the data cannot expand beyond this; the
    // declared size is only a first guess at the allocation.
    bound_ = in_.size() / kGroupInMax * kGroupOutMax + kGroupOutMax;
    if (!Grow(std::min(sizeHint, bound_))) return false;
    std::size_t p = 0;
    const std::size_t end = in_.size();
    const std::uint8_t* in = in_.data();
    while (p < end) {
      if (out_.size() - n_ < kGroupOutMax && !Grow(out_.size() * 2)) return false;
      std::uint8_t* out = out_.data();
      if (end - p >= kGroupInMax) {
        // The whole group is there: no input checks inside.
        unsigned flags = in[p++];
        for (int item = 0; item < 8; ++item, flags >>= 1) {
          if (flags & 1) {
            out[n_++] = in[p++];
          } else {
            Match(out, in[p], in[p + 1]);
            p += 2;
          }
        }
        continue;
      }
      // The tail: LZ32 stops at the first item whose bytes are missing.
      unsigned flags = in[p++];
      for (int item = 0; item < 8 && p < end; ++item, flags >>= 1) {
        if (flags & 1) {
          out[n_++] = in[p++];
        } else {
          if (end - p < 2) return true;
          Match(out, in[p], in[p + 1]);
          p += 2;
        }
      }
    }
    return true;
  }

  std::size_t Written() const { return n_; }

 private:
  bool Grow(std::size_t wanted) {
    const std::size_t size = std::min(std::max(wanted, std::size_t{kWindowSize}), bound_) + kGroupOutMax;
    if (size <= out_.size()) return true;
#if defined(__cpp_exceptions)
    try {
      out_.reserve(size);  // exactly: resize alone may double past the bound
      out_.resize(size);
    } catch (const std::bad_alloc&) {
      return false;
    }
#else
    out_.reserve(size);
    out_.resize(size);
#endif
    return true;
  }

  void Match(std::uint8_t* out, std::uint8_t b1, std::uint8_t b2) {
    const std::size_t slot = b1 | ((b2 & 0xF0u) << 4);
    const std::size_t length = (b2 & 0x0Fu) + kMinMatch;
    const std::size_t current = (kWindowStart + n_) & (kWindowSize - 1);
    // A match naming the slot about to be written reads what it still holds:
    // the byte 4096 back.
    const std::size_t distance = ((current - slot - 1) & (kWindowSize - 1)) + 1;
    std::uint8_t* dst = out + n_;
    if (distance <= n_) {
      const std::uint8_t* src = dst - distance;
      if (distance >= kMaxMatch) {
        // No overlap within a match's reach: copy the longest match and let
        // the next items overwrite the excess (the buffer has room for a group).
        std::memcpy(dst, src, kMaxMatch);
      } else {
        for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
      }
    } else {
      // Reaches back past the first byte written, into the initial spaces.
      const std::size_t spaces = std::min(length, distance - n_);
      std::memset(dst, kWindowFill, spaces);
      for (std::size_t i = spaces; i < length; ++i) dst[i] = out[i - spaces];
    }
    n_ += length;
  }

  std::span<const std::uint8_t> in_;
  std::vector<std::uint8_t>& out_;
  std::size_t n_ = 0;
  std::size_t bound_ = 0;
};

constexpr std::size_t kMaxCount = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

}  // namespace

bool HasHeader(std::span<const std::uint8_t> file) {
  return file.size() >= kHeaderSize && std::memcmp(file.data(), kSignature.data(), kSignature.size()) == 0;
}

std::int32_t ExpandBuffer(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& out) {
  out.clear();
  if (!HasHeader(file)) {
    // LZ32 reads a file without a complete header as it is.
    if (file.size() > kMaxCount) return kLzErrorRead;
    out.assign(file.begin(), file.end());
    return static_cast<std::int32_t>(file.size());
  }
  // Another mode opens, but LZ32's copy then writes nothing and reports 0.
  if (file[kOffsetMode] != kModeA) return 0;

  const std::uint32_t declared = static_cast<std::uint32_t>(file[kOffsetExpandedSize]) |
                                 (static_cast<std::uint32_t>(file[kOffsetExpandedSize + 1]) << 8) |
                                 (static_cast<std::uint32_t>(file[kOffsetExpandedSize + 2]) << 16) |
                                 (static_cast<std::uint32_t>(file[kOffsetExpandedSize + 3]) << 24);
  Decoder decoder(file.subspan(kHeaderSize), out);
  const bool ok = decoder.Run(declared);
  const std::size_t written = decoder.Written();
  out.resize(written);
  if (!ok) return kLzErrorGlobalAlloc;
  if (written > kMaxCount) return kLzErrorWrite;
  return static_cast<std::int32_t>(written);
}

}  // namespace vxr::szdd
