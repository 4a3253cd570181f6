// The compressor's parse: the exact optimum, the same bytes however early the
// stream decides it, and few positions waiting however long the stretches are.
#include <gtest/gtest.h>

#include <random>
#include <string_view>

#include "tests/codec/szdd_test_io.h"
#include "tests/support/corpus.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {
namespace {

using test::Bytes;

// The fewest bits any parse can take, by brute force: every distance at every
// position. Independent of the compressor's match finder.
std::uint64_t OptimalBits(const Bytes& data) {
  Bytes buf(szdd::kWindowSize, ' ');
  buf.insert(buf.end(), data.begin(), data.end());
  const std::size_t n = data.size();
  std::vector<std::uint64_t> cost(n + 1, 0);
  for (std::size_t i = n; i-- > 0;) {
    std::size_t longest = 0;
    for (std::size_t d = 1, at = szdd::kWindowSize + i; d <= szdd::kWindowSize; ++d) {
      std::size_t len = 0;
      while (len < std::min(szdd::kMaxMatch, n - i) && buf[at - d + len] == buf[at + len]) ++len;
      longest = std::max(longest, len);
    }
    cost[i] = cost[i + 1] + 9;
    for (std::size_t len = szdd::kMinMatch; len <= longest; ++len)
      cost[i] = std::min(cost[i], cost[i + len] + 17);
  }
  return cost[0];
}

// The data after the header, settled every `batch` positions, `limit` waiting.
Bytes Compress(const Bytes& input, std::size_t batch, std::size_t limit, std::size_t piece,
               ParseStats* stats = nullptr) {
  test::PieceSource source(input, piece);
  test::KeepingSink sink;
  std::uint64_t size = 0;
  const StreamOptions options{
      .expectedSize = 0, .progress = {}, .settleBatch = batch, .pendingLimit = limit, .stats = stats};
  EXPECT_EQ(CompressStream(source, sink, size, options), CompressResult::kOk);
  EXPECT_EQ(size, input.size());
  return sink.kept;
}

bool ExpandsTo(const Bytes& file, const Bytes& input) {
  Bytes out;
  return szdd::ExpandBuffer(file, out) == static_cast<std::int32_t>(input.size()) && out == input;
}

// Small texts for the brute force (the corpus adds more); and inputs whose
// parse waits long for its path: stretches where every position has a
// full-length match, alone or between noise, and two letters where parses tie.
std::vector<test::CorpusFile> Inputs() {
  std::mt19937 random(11);
  auto noise = [&](std::size_t n, std::string_view alphabet = {}, Bytes to = {}) {
    for (std::size_t i = 0; i < n; ++i)
      to.push_back(
          static_cast<std::uint8_t>(alphabet.empty() ? random() : alphabet[random() % alphabet.size()]));
    return to;
  };
  std::vector<test::CorpusFile> inputs = {{"letters2.txt", noise(6000, "ab")},
                                          {"two-letters.txt", noise(200'000, "ab")}};
  for (const std::size_t period : {1u, 3u, 18u, 100u}) {
    Bytes data = noise(50);
    for (std::size_t i = 0; i < 400'000; ++i) data.push_back(data[i % period]);
    inputs.push_back({"period" + std::to_string(period) + ".bin", noise(7, {}, data)});
  }
  for (const std::size_t gap : {5u, 20u, 60u}) {
    Bytes data;
    while (data.size() < 500'000) {
      data.insert(data.end(), 100 + random() % 300, static_cast<std::uint8_t>(random() % 2));
      data = noise(gap, {}, std::move(data));
    }
    inputs.push_back({"noisy-runs" + std::to_string(gap) + ".bin", data});
  }
  return inputs;
}

// Past a low limit on the positions waiting the parse is decided before it is
// final: still a sound file, never smaller. (LZ32 and expand.exe expand our
// files under Wine: tests/engine/wine_lz32_test.)
TEST(Compressor, OptimalWhateverItDecidesEarlyAndExpandable) {
  auto inputs = test::MakeCorpus(test::kWineDlls);
  ASSERT_GE(inputs.size(), 15u) << "PE files missing from " << test::kWineDlls;
  for (auto& file : Inputs()) inputs.push_back(std::move(file));
  std::size_t forced = 0;
  for (const auto& [name, input] : inputs) {
    SCOPED_TRACE(name);
    // The parse decided at the end only, in one backward pass.
    const Bytes reference = Compress(input, SIZE_MAX, SIZE_MAX, szdd::kStreamBlock);
    EXPECT_TRUE(input.size() > 10'000 || reference.size() == (OptimalBits(input) + 7) / 8) << "not optimal";
    const auto ours = CompressSzdd(input, MissingChar(name));
    ASSERT_TRUE(ours && ours->size() >= szdd::kHeaderSize);
    EXPECT_TRUE(Bytes(ours->begin() + szdd::kHeaderSize, ours->end()) == reference);
    EXPECT_TRUE(ExpandsTo(*ours, input)) << "our expander";
    const std::size_t ways[][2] = {{50, 777}, {4096, 1}, {4096, szdd::kStreamBlock}};
    for (const auto& [batch, piece] : ways) {
      if (piece == 1 && input.size() > 100'000) continue;  // slow, and nothing new
      SCOPED_TRACE("settled every " + std::to_string(batch) + ", read in pieces of " + std::to_string(piece));
      ParseStats stats;
      EXPECT_TRUE(Compress(input, batch, SIZE_MAX, piece, &stats) == reference);
      EXPECT_EQ(stats.forced, 0u);
      // Stretches wait as one entry each, however long.
      EXPECT_LT(stats.mostPending, batch + 20'000);
    }
    if (input.size() > 50'000) continue;  // slow, and nothing new
    ParseStats stats;
    const Bytes low = Compress(input, 16, 64, 4096, &stats);
    EXPECT_TRUE(ExpandsTo(test::SzddFile(static_cast<std::uint32_t>(input.size()), low), input));
    EXPECT_GE(low.size(), reference.size());
    forced += stats.forced;
  }
  EXPECT_GT(forced, 0u) << "the low limit was never reached: nothing tested";
}

// What lets a stretch of full-length matches wait as one entry: the first of
// kForcedAhead + 1 positions with full-length matches takes one, whatever the
// costs of the 18 positions after them. Costs are linear in those 18, so it is
// enough that each of them alone, as the only way on, favours the full match:
// its cost by a full match is no higher than by any shorter match or a literal.
TEST(Compressor, AFullMatchFollowedByEnoughMoreIsForced) {
  constexpr std::size_t k = OptimalParse::kForcedAhead + 1;
  constexpr std::uint64_t kNever = std::uint64_t{1} << 40;
  for (std::size_t exit = 0; exit < 18; ++exit) {
    // cost[x]: from position x to position k + exit, landing on no other
    // position from k on.
    std::vector<std::uint64_t> cost(k + 18, kNever);
    cost[k + exit] = 0;
    for (std::size_t x = k; x-- > 0;) {
      cost[x] = cost[x + 1] + 9;
      for (std::size_t len = 3; len <= 18; ++len) cost[x] = std::min({cost[x], cost[x + len] + 17, kNever});
    }
    SCOPED_TRACE("exit " + std::to_string(exit));
    EXPECT_LE(cost[18] + 17, cost[1] + 9);
    for (std::size_t len = 3; len < 18; ++len) EXPECT_LE(cost[18], cost[len]) << "match of " << len;
  }
}

}  // namespace
}  // namespace vxr::pack
