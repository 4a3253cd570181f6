// The longest match at every position of the SZDD window, exactly: what the
// optimal parse needs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/szdd_format.h"

namespace vxr::pack {

struct Match {
  std::uint32_t length = 0;  // 0 when below kMinMatch
  std::uint32_t distance = 0;
};

// The decoder copies a match byte by byte, reading each byte before it writes
// the next one into the window. A source 4096 bytes back is therefore still
// intact when it is read (it is the byte about to be overwritten), so
// distances run from 1 to the full window size.
inline constexpr std::size_t kMaxDistance = szdd::kWindowSize;

// Binary trees of the window's strings (one tree per 3-byte hash, the newest
// string at the root), as LZMA's BT finders do. A tree walk visits the new
// string's neighbours in sorted order, and one of them shares the longest
// prefix with it, so the result is exact: no search depth is cut off.
//
// Positions are the caller's, 32-bit and counted from its first string; the
// caller passes a pointer to each string and keeps the kMaxDistance bytes
// before it in place.
class MatchFinder {
 public:
  MatchFinder() : head_(std::size_t{1} << kHashBits, 0), son_(2 * kCyclic, 0) {}

  // Inserts the string at `pos` (`cur` points at it; at least kMaxMatch bytes
  // must follow, and kCompareSlack more may be read) and returns its longest
  // match. Among equally long matches, the first met in the walk.
  Match Insert(std::uint32_t pos, const std::uint8_t* cur) {
    const std::uint32_t hash = Hash(cur);
    std::uint32_t candidate = head_[hash];  // position + 1, 0 for none
    head_[hash] = pos + 1;

    std::uint32_t* leftLink = &son_[2 * (pos & kCyclicMask)];
    std::uint32_t* rightLink = &son_[2 * (pos & kCyclicMask) + 1];
    std::uint32_t leftLen = 0;   // common prefix with everything on the left
    std::uint32_t rightLen = 0;  // and on the right
    Match best;
    for (;;) {
      if (candidate == 0 || pos - (candidate - 1) > kMaxDistance) {
        // The trees are ordered by age: everything below is older still.
        *leftLink = *rightLink = 0;
        break;
      }
      const std::uint32_t match = candidate - 1;
      const std::uint32_t dist = pos - match;
      std::uint32_t* pair = &son_[2 * (match & kCyclicMask)];
      const std::uint8_t* pb = cur - dist;
      const std::uint32_t len = CommonPrefix(pb, cur, std::min(leftLen, rightLen));
      if (len > best.length) {
        best.length = len;
        best.distance = dist;
      }
      if (len == szdd::kMaxMatch) {
        // Equal as far as matches reach: the new string takes the old one's
        // place, being nearer and no worse.
        *leftLink = pair[0];
        *rightLink = pair[1];
        break;
      }
      if (pb[len] < cur[len]) {
        *leftLink = candidate;
        leftLink = &pair[1];
        candidate = *leftLink;
        leftLen = len;
      } else {
        *rightLink = candidate;
        rightLink = &pair[0];
        candidate = *rightLink;
        rightLen = len;
      }
    }
    if (best.length < szdd::kMinMatch) return {};
    return best;
  }

  // Bytes after the longest match that a comparison may read.
  static constexpr std::size_t kCompareSlack = 8;

 private:
  static constexpr unsigned kHashBits = 16;
  // Larger than the window, so that a string 4096 bytes back keeps its node.
  static constexpr std::uint32_t kCyclic = 2 * szdd::kWindowSize;
  static constexpr std::uint32_t kCyclicMask = kCyclic - 1;

  static std::uint32_t Hash(const std::uint8_t* p) {
    const std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  // The length of the common prefix of a and b, at least `known`, at most
  // kMaxMatch.
  static std::uint32_t CommonPrefix(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t known) {
    std::uint32_t len = known;
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Eight bytes at a time: the lowest differing bit is in the first
    // differing byte.
    while (len < szdd::kMaxMatch) {
      std::uint64_t x = 0, y = 0;
      std::memcpy(&x, a + len, 8);
      std::memcpy(&y, b + len, 8);
      if (x != y) {
        len += static_cast<std::uint32_t>(__builtin_ctzll(x ^ y)) / 8;
        return std::min<std::uint32_t>(len, szdd::kMaxMatch);
      }
      len += 8;
    }
    return szdd::kMaxMatch;
#else
    while (len < szdd::kMaxMatch && a[len] == b[len]) ++len;
    return len;
#endif
  }

  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> son_;
};

}  // namespace vxr::pack
