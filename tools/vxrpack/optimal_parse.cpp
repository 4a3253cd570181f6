#include "tools/vxrpack/optimal_parse.h"

#include <algorithm>
#include <limits>

#include "codec/szdd_format.h"

namespace vxr::pack {
namespace {

constexpr std::uint32_t kLiteralBits = 9;
constexpr std::uint32_t kMatchBits = 17;
constexpr std::size_t kFullMatch = szdd::kMaxMatch;

// Costs of positions as ring buffers: a position's cost needs only the 18
// after it.
constexpr std::size_t kRing = 32;

// Positions joined into a stretch at a time.
constexpr std::size_t kCompactStep = 64;

// The exits' curves usually agree a few dozen positions before them; rarely
// further.
constexpr std::size_t kFirstSpan = 32;
constexpr std::size_t kLastSpan = 8192;
// Gaps between stretches tried, from the latest back.
constexpr std::size_t kGapsTried = 16;

}  // namespace

OptimalParse::OptimalParse(SzddWriter& writer, std::size_t batch, std::size_t limit)
    : writer_(writer), batch_(std::max<std::size_t>(batch, 1)), limit_(limit), nextAttempt_(batch_) {}

void OptimalParse::Append(Match match, std::uint8_t byte) {
  pending_.push_back(
      {static_cast<std::uint16_t>(match.distance), static_cast<std::uint8_t>(match.length), byte});
  ++normalTail_;
  if (match.length != kFullMatch) {
    run_ = 0;
    return;
  }
  const bool sameDistance = run_ > 0 && pending_[pending_.size() - 2].distance == match.distance;
  run_ = sameDistance ? run_ + 1 : 1;
  if (run_ >= OptimalParse::kForcedAhead + kCompactStep) Compact();
}

void OptimalParse::Compact() {
  // All but the last OptimalParse::kForcedAhead of the run are forced.
  const std::size_t begin = pending_.size() - run_;
  const std::size_t end = pending_.size() - OptimalParse::kForcedAhead;
  const std::uint16_t distance = pending_.back().distance;
  const auto at = [&](std::size_t i) { return pending_.begin() + static_cast<std::ptrdiff_t>(i); };
  if (begin > 0 && pending_[begin - 1].length == kStretch && stretches_.back().distance == distance) {
    stretches_.back().count += end - begin;
    pending_.erase(at(begin), at(end));
  } else {
    stretches_.push_back({end - begin, distance});
    pending_[begin] = {distance, kStretch, 0};
    pending_.erase(at(begin + 1), at(end));
  }
  run_ = normalTail_ = OptimalParse::kForcedAhead;
}

void OptimalParse::Settle() {
  stats_.mostPending = std::max(stats_.mostPending, pending_.size());
  // The gaps of normal entries between stretches, from the latest back: the
  // later the exits, the more is decided. The exits are the 18 positions
  // after a gap: the next 18 positions of the input, or a stretch's first.
  const auto settle = [&](std::size_t gaps, bool anyway) {
    std::size_t t = pending_.size();
    for (std::size_t i = t, tried = 0; tried < gaps; ++tried) {
      while (i > 0 && pending_[i - 1].length != kStretch) --i;
      if (SettleBefore(i, t, anyway)) return true;
      if (i == 0) break;
      t = --i;
    }
    return false;
  };
  if (!settle(kGapsTried, false) && pending_.size() >= limit_) {
    // Nothing is final yet. Past the limit, decide as if the input ended
    // soon after the latest gap long enough.
    if (settle(pending_.size(), true)) ++stats_.forced;
  }
  nextAttempt_ = pending_.size() + batch_;
}

bool OptimalParse::SettleBefore(std::size_t gapStart, std::size_t t, bool anyway) {
  const std::size_t room = t - gapStart;
  std::uint64_t shape[kExits];
  for (std::size_t span = std::min(kFirstSpan, room); span >= kExits;) {
    const std::size_t m = t - span;
    if (ExitShape(m, t, anyway, shape)) {
      Decide(m, shape);
      return true;
    }
    if (span >= std::min(room, kLastSpan)) break;
    span = std::min({span * 2, room, kLastSpan});
  }
  return false;
}

bool OptimalParse::ExitShape(std::size_t m, std::size_t t, bool anyway, std::uint64_t shape[kExits]) const {
  // Costs up to 17 bits times the positions in play: far below this.
  constexpr std::uint32_t kNever = std::numeric_limits<std::uint32_t>::max() / 2;
  // cost[x mod kRing][k]: the cheapest way from x to land first on exit t + k.
  std::uint32_t cost[kRing][kExits];
  for (std::size_t j = 0; j < kExits; ++j)
    for (std::size_t k = 0; k < kExits; ++k) cost[(t + j) % kRing][k] = j == k ? 0 : kNever;
  for (std::size_t x = t; x-- > m;) {
    std::uint32_t* here = cost[x % kRing];
    const std::uint32_t* next = cost[(x + 1) % kRing];
    for (std::size_t k = 0; k < kExits; ++k) here[k] = next[k] + kLiteralBits;
    for (std::size_t len = szdd::kMinMatch; len <= pending_[x].length; ++len) {
      const std::uint32_t* to = cost[(x + len) % kRing];
      for (std::size_t k = 0; k < kExits; ++k) here[k] = std::min(here[k], to[k] + kMatchBits);
    }
    for (std::size_t k = 0; k < kExits; ++k) here[k] = std::min(here[k], kNever);
  }
  // Exits that cannot be reached at all play no part. The shape is kept
  // relative to position m, offset so as to stay positive: a later position
  // may cost less than m.
  const std::uint32_t* atM = cost[m % kRing];
  bool seen = false;
  for (std::size_t k = 0; k < kExits; ++k) {
    if (atM[k] >= kNever) continue;
    for (std::size_t j = 0; j < kExits; ++j) {
      const std::uint32_t c = cost[(m + j) % kRing][k];
      if (c >= kNever) return false;
      const std::uint64_t relative = std::uint64_t{c} + kNever - atM[k];
      if (!seen) {
        shape[j] = relative;
      } else if (shape[j] != relative) {
        return false;
      }
    }
    if (anyway) return true;
    seen = true;
  }
  return seen;
}

void OptimalParse::Decide(std::size_t m, const std::uint64_t costs[kExits]) {
  // The data position of entry m, and the stretches before it.
  std::size_t stretches = 0;
  std::uint64_t end = first_ + m;
  for (std::size_t x = 0; x < m; ++x) {
    if (pending_[x].length == kStretch) end += stretches_[stretches++].count - 1;
  }

  // Backwards from m, as one pass over the whole input would go: on a tie the
  // longer item.
  std::uint64_t cost[kRing];
  for (std::size_t j = 0; j < kExits; ++j) cost[(end + j) % kRing] = costs[j];
  std::uint64_t p = end;
  std::size_t s = stretches;
  for (std::size_t x = m; x-- > 0;) {
    Entry& e = pending_[x];
    if (e.length == kStretch) {
      // Each position takes a full match: its cost is that of the first
      // position 18, 36, ... on that lies in the 18 after the stretch.
      const std::uint64_t count = stretches_[--s].count;
      const std::uint64_t start = p - count;
      std::uint64_t fresh[kExits];
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, kExits));
      for (std::size_t j = 0; j < n; ++j) {
        const std::uint64_t steps = (p - (start + j) + kFullMatch - 1) / kFullMatch;
        fresh[j] = cost[(start + j + steps * kFullMatch) % kRing] + steps * kMatchBits;
      }
      for (std::size_t j = 0; j < n; ++j) cost[(start + j) % kRing] = fresh[j];
      p = start;
      continue;
    }
    --p;
    std::uint64_t best = cost[(p + 1) % kRing] + kLiteralBits;
    unsigned choice = 0;
    for (unsigned len = szdd::kMinMatch; len <= e.length; ++len) {
      const std::uint64_t c = cost[(p + len) % kRing] + kMatchBits;
      // Without a branch: which item wins is hard to foretell.
      const bool take = c <= best;
      best = take ? c : best;
      choice = take ? len : choice;
    }
    cost[p % kRing] = best;
    e.length = static_cast<std::uint8_t>(choice);
  }

  // Forwards from the first position: the path ends on one of the 18 from m.
  std::size_t x = 0;
  std::uint64_t into = 0;  // positions of entry x already passed (a stretch's)
  s = 0;
  p = first_;
  while (x < m) {
    const Entry& e = pending_[x];
    std::uint64_t step = 0;
    if (e.length == kStretch) {
      writer_.Match(p, kFullMatch, stretches_[s].distance);
      step = kFullMatch;
    } else if (e.length == 0) {
      writer_.Literal(e.byte);
      step = 1;
    } else {
      writer_.Match(p, e.length, e.distance);
      step = e.length;
    }
    p += step;
    // Moves over the entries that the item covered.
    while (step > 0) {
      const std::uint64_t left = (pending_[x].length == kStretch ? stretches_[s].count : 1) - into;
      if (step < left) {
        into += step;
        break;
      }
      step -= left;
      if (pending_[x].length == kStretch) ++s;
      ++x;
      into = 0;
    }
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(x));
  stretches_.erase(stretches_.begin(), stretches_.begin() + static_cast<std::ptrdiff_t>(s));
  first_ = p;
  normalTail_ = std::min(normalTail_, pending_.size());
  run_ = std::min(run_, pending_.size());
}

void OptimalParse::Finish() {
  stats_.mostPending = std::max(stats_.mostPending, pending_.size());
  // The end is the only exit: every path lands on it.
  std::uint64_t costs[kExits] = {};
  Decide(pending_.size(), costs);
}

}  // namespace vxr::pack
