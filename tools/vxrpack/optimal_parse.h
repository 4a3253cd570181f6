// The parse with the fewest bits, decided while the input streams past.
//
// Every literal costs 9 bits and every match 17, so the best parse is a
// shortest path over the positions; among the shortest, the one that at each
// step takes the longest item (fewer items to decode). The path from a
// position depends on everything after it, so positions wait here, each with
// its longest match, until their part of the path can no longer change:
//
// Every path from a position before t crosses t by landing on one of the 18
// positions t .. t+17. Work out, for each of those exits alone, the cheapest
// cost from the positions before t. Where these 18 cost curves have the same
// shape over 18 consecutive positions m .. m+17 (equal up to a constant), the
// true costs there have that shape too, whatever comes after t, and so has
// every choice before m: the path up to m is final.
//
// In a long stretch where every position has a full-length match (a run of
// one byte, a short pattern repeated), the curves never agree: which of the
// 18 exits is cheapest depends on where the stretch ends, and so may the path
// before it. But a position followed by 21 more with full-length matches
// takes a full-length match whatever comes after (kForcedAhead), so such a
// stretch waits here as one entry, however long it is.
//
// The result is the same parse, byte for byte, as one backward pass over the
// whole input would choose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/vxrpack/match_finder.h"
#include "tools/vxrpack/szdd_writer.h"

namespace vxr::pack {

struct ParseStats {
  std::size_t mostPending = 0;  // entries waiting at most
  std::size_t forced = 0;       // times the memory bound decided before the path was final
};

class OptimalParse {
 public:
  // A position with a full-length match, followed by this many more with
  // full-length matches, takes a full-length match whatever comes after:
  // whatever the costs of the 18 positions after those.
  static constexpr std::size_t kForcedAhead = 21;

  // Positions are settled in batches of about `batch`. `limit` bounds the
  // entries waiting: beyond it the path is decided as if the input ended
  // soon after, which may cost a few bits (counted in ParseStats::forced).
  OptimalParse(SzddWriter& writer, std::size_t batch, std::size_t limit);

  // The next position: its longest match and its byte. The 18 positions
  // after it must exist (AddLast() is for the last 17).
  void Add(Match match, std::uint8_t byte) {
    Append(match, byte);
    if (pending_.size() >= nextAttempt_) Settle();
  }

  // One of the last 17 positions, which have no 18 after them.
  void AddLast(Match match, std::uint8_t byte) { Append(match, byte); }

  // The last position has been added: the rest of the path.
  void Finish();

  const ParseStats& Stats() const { return stats_; }

 private:
  struct Entry {
    std::uint16_t distance;
    std::uint8_t length;  // longest match, 0 for none; once decided, the item chosen (0: literal)
    std::uint8_t byte;
  };
  struct Stretch {
    std::uint64_t count;  // positions
    std::uint16_t distance;
  };
  // An entry standing for the next Stretch: that many positions, each taking
  // a full-length match at the same distance.
  static constexpr std::uint8_t kStretch = 0xFF;
  static constexpr std::size_t kExits = 18;

  void Append(Match match, std::uint8_t byte);
  void Compact();
  void Settle();
  // Tries exits at entry t, after the normal entries from `gapStart`; true
  // when a part of the path was decided.
  bool SettleBefore(std::size_t gapStart, std::size_t t, bool anyway);
  // The shape of the true costs over the 18 positions from entry `m`, given
  // exits at entry t and normal entries in between, if the exits' curves
  // agree there; with `anyway`, the first reachable exit's shape.
  bool ExitShape(std::size_t m, std::size_t t, bool anyway, std::uint64_t shape[kExits]) const;
  // Decides the path from the first entry up to entry `m`, given the costs of
  // the 18 positions from it, writes it out and drops it.
  void Decide(std::size_t m, const std::uint64_t costs[kExits]);

  SzddWriter& writer_;
  std::size_t batch_;
  std::size_t limit_;
  std::size_t nextAttempt_;
  std::vector<Entry> pending_;
  std::vector<Stretch> stretches_;  // in the order of their entries
  std::uint64_t first_ = 0;         // data position of pending_[0]
  std::size_t normalTail_ = 0;      // entries after the last stretch
  std::size_t run_ = 0;             // last entries with full-length matches at one distance
  ParseStats stats_;
};

}  // namespace vxr::pack
