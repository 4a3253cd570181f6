#include "tools/vxrpack/szdd_compressor.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "codec/szdd_format.h"

namespace vxr::pack {
namespace {

using szdd::kMaxMatch;
using szdd::kMinMatch;
using szdd::kWindowSize;

constexpr std::uint32_t kLiteralBits = 9;
constexpr std::uint32_t kMatchBits = 17;

// The decoder copies a match byte by byte, reading each byte before it writes
// the next one into the window. A source 4096 bytes back is therefore still
// intact when it is read (it is the byte about to be overwritten), so
// distances run from 1 to the full window size.
constexpr std::size_t kMaxDistance = kWindowSize;

// The window's starting spaces, placed in front of the data so that matches
// into them are found like any other.
constexpr std::size_t kPrefix = kWindowSize;

// Longest match at every position, found with binary trees of the window's
// strings (one tree per 3-byte hash, the newest string at the root), as LZMA's
// BT finders do. A tree walk visits the new string's neighbours in sorted
// order, and one of them shares the longest prefix with it, so the result is
// exact: no search depth is cut off.
class MatchFinder {
 public:
  explicit MatchFinder(std::span<const std::uint8_t> buffer)
      : buf_(buffer), head_(std::size_t{1} << kHashBits, 0), son_(2 * kCyclic, 0) {}

  // Inserts the string at `pos` (at least kMaxMatch bytes must follow) and
  // returns its longest match (length, distance); length 0 when below 3.
  std::pair<std::uint32_t, std::uint32_t> Insert(std::uint32_t pos) {
    const std::uint8_t* cur = buf_.data() + pos;
    const std::uint32_t hash = Hash(cur);
    std::uint32_t candidate = head_[hash];  // position + 1, 0 for none
    head_[hash] = pos + 1;

    std::uint32_t* leftLink = &son_[2 * (pos & kCyclicMask)];
    std::uint32_t* rightLink = &son_[2 * (pos & kCyclicMask) + 1];
    std::uint32_t leftLen = 0;   // common prefix with everything on the left
    std::uint32_t rightLen = 0;  // and on the right
    std::uint32_t bestLen = 0;
    std::uint32_t bestDist = 0;
    for (;;) {
      if (candidate == 0 || pos - (candidate - 1) > kMaxDistance) {
        // The trees are ordered by age: everything below is older still.
        *leftLink = *rightLink = 0;
        break;
      }
      const std::uint32_t match = candidate - 1;
      const std::uint32_t dist = pos - match;
      std::uint32_t* pair = &son_[2 * (match & kCyclicMask)];
      const std::uint8_t* pb = buf_.data() + match;
      std::uint32_t len = std::min(leftLen, rightLen);
      while (len < kMaxMatch && pb[len] == cur[len]) ++len;
      if (len > bestLen) {
        bestLen = len;
        bestDist = dist;
      }
      if (len == kMaxMatch) {
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
    if (bestLen < kMinMatch) return {0, 0};
    return {bestLen, bestDist};
  }

 private:
  static constexpr unsigned kHashBits = 16;
  // Larger than the window, so that a string 4096 bytes back keeps its node.
  static constexpr std::uint32_t kCyclic = 2 * kWindowSize;
  static constexpr std::uint32_t kCyclicMask = kCyclic - 1;

  static std::uint32_t Hash(const std::uint8_t* p) {
    const std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  std::span<const std::uint8_t> buf_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> son_;
};

// The last strings are shorter than a full match and would break the trees'
// order; they are few, so they are searched directly.
std::pair<std::uint32_t, std::uint32_t> SearchDirectly(std::span<const std::uint8_t> buf, std::size_t pos) {
  const std::size_t limit = std::min<std::size_t>(kMaxMatch, buf.size() - pos);
  std::uint32_t bestLen = 0;
  std::uint32_t bestDist = 0;
  if (limit < kMinMatch) return {0, 0};
  for (std::size_t dist = 1; dist <= std::min(kMaxDistance, pos); ++dist) {
    std::size_t len = 0;
    while (len < limit && buf[pos - dist + len] == buf[pos + len]) ++len;
    if (len > bestLen) {
      bestLen = static_cast<std::uint32_t>(len);
      bestDist = static_cast<std::uint32_t>(dist);
      if (len == limit) break;
    }
  }
  if (bestLen < kMinMatch) return {0, 0};
  return {bestLen, bestDist};
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> CompressSzdd(std::span<const std::uint8_t> data, char missingChar,
                                                      const Progress& progress) {
  // Positions are 32-bit inside the match finder, with the prefix in front.
  if (data.size() > std::numeric_limits<std::uint32_t>::max() - 2 * kPrefix) return std::nullopt;
  const std::size_t n = data.size();

  std::vector<std::uint8_t> buf(kPrefix + n, szdd::kWindowFill);
  if (n != 0) std::memcpy(buf.data() + kPrefix, data.data(), n);

  // Longest match (length, distance) of every data position.
  std::vector<std::uint8_t> length(n, 0);
  std::vector<std::uint16_t> distance(n, 0);
  {
    MatchFinder finder(buf);
    const std::size_t treeEnd = buf.size() >= kMaxMatch ? buf.size() - kMaxMatch + 1 : 0;
    constexpr std::size_t kProgressStep = std::size_t{1} << 20;
    for (std::size_t pos = 0; pos < buf.size(); ++pos) {
      const auto [len, dist] =
          pos < treeEnd ? finder.Insert(static_cast<std::uint32_t>(pos)) : SearchDirectly(buf, pos);
      if (pos < kPrefix) continue;
      length[pos - kPrefix] = static_cast<std::uint8_t>(len);
      distance[pos - kPrefix] = static_cast<std::uint16_t>(dist);
      if (progress && (pos - kPrefix) % kProgressStep == 0) progress(pos - kPrefix, n);
    }
  }

  // Shortest path from each position to the end, computed backwards; only the
  // next kMaxMatch costs are ever needed. length[] is overwritten with the
  // choice made (0 for a literal).
  constexpr std::size_t kRing = 32;
  static_assert(kRing > kMaxMatch);
  std::uint64_t cost[kRing] = {};
  for (std::size_t i = n; i-- > 0;) {
    std::uint64_t best = cost[(i + 1) % kRing] + kLiteralBits;
    std::uint8_t choice = 0;
    for (std::size_t len = kMinMatch; len <= length[i]; ++len) {
      const std::uint64_t c = cost[(i + len) % kRing] + kMatchBits;
      if (c <= best) {  // on a tie the longer match: fewer items to decode
        best = c;
        choice = static_cast<std::uint8_t>(len);
      }
    }
    cost[i % kRing] = best;
    length[i] = choice;
  }

  std::vector<std::uint8_t> out;
  out.reserve(szdd::kHeaderSize + n + n / 8 + 16);
  out.insert(out.end(), szdd::kSignature.begin(), szdd::kSignature.end());
  out.push_back(szdd::kModeA);
  out.push_back(static_cast<std::uint8_t>(missingChar));
  PutLe32(out, static_cast<std::uint32_t>(n));

  std::size_t flagAt = 0;
  unsigned items = 8;  // items under the current flag byte
  for (std::size_t i = 0; i < n;) {
    if (items == 8) {
      flagAt = out.size();
      out.push_back(0);
      items = 0;
    }
    if (length[i] == 0) {
      out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | (1u << items));
      out.push_back(data[i]);
      ++i;
    } else {
      // Window positions: data byte i is written at (4096 - 16 + i) mod 4096.
      const std::size_t ring = (szdd::kWindowStart + i - distance[i]) % kWindowSize;
      out.push_back(static_cast<std::uint8_t>(ring & 0xFF));
      out.push_back(static_cast<std::uint8_t>(((ring >> 4) & 0xF0) | (length[i] - kMinMatch)));
      i += length[i];
    }
    ++items;
  }
  if (progress) progress(n, n);
  return out;
}

std::string StoredName(std::string_view installedName) {
  std::string name(installedName);
  if (!name.empty()) name.back() = '_';
  return name;
}

char MissingChar(std::string_view installedName) {
  return installedName.empty() ? '\0' : installedName.back();
}

}  // namespace vxr::pack
