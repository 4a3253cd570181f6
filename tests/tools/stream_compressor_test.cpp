// The compressor decides its parse while the input streams past. Deciding
// early must never change the result: every input gives the same bytes as
// when the whole parse is decided at the end, in one backward pass (which is
// the exact optimum; compressor_test.cpp checks that), and the positions
// waiting stay few however long the stretches without a settled path are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "codec/szdd_expander.h"
#include "tests/support/corpus.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {
namespace {

using test::Bytes;

class PieceSource final : public szdd::ByteSource {
 public:
  PieceSource(const Bytes& data, std::size_t piece) : data_(data), piece_(piece) {}
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override {
    const std::size_t n = std::min({buffer.size(), piece_, data_.size() - at_});
    if (n != 0) std::memcpy(buffer.data(), data_.data() + at_, n);
    at_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  const Bytes& data_;
  std::size_t piece_, at_ = 0;
};

class KeepingSink final : public szdd::ByteSink {
 public:
  bool Write(std::span<const std::uint8_t> bytes) override {
    kept.insert(kept.end(), bytes.begin(), bytes.end());
    return true;
  }
  Bytes kept;
};

struct Outcome {
  Bytes data;  // the SZDD data after the header
  ParseStats stats;
};

Outcome Compress(const Bytes& input, std::size_t batch, std::size_t limit, std::size_t piece) {
  PieceSource source(input, piece);
  KeepingSink sink;
  Outcome run;
  StreamOptions options;
  options.settleBatch = batch;
  options.pendingLimit = limit;
  options.stats = &run.stats;
  std::uint64_t size = 0;
  EXPECT_EQ(CompressStream(source, sink, size, options), CompressResult::kOk);
  EXPECT_EQ(size, input.size());
  run.data = std::move(sink.kept);
  return run;
}

// The parse decided at the end only: what one backward pass chooses.
Outcome OnePass(const Bytes& input) { return Compress(input, SIZE_MAX, SIZE_MAX, szdd::kStreamBlock); }

Bytes Expanded(const Bytes& data, std::size_t size) {
  Bytes file;
  const auto header = SzddHeader('x', static_cast<std::uint32_t>(size));
  file.assign(header.begin(), header.end());
  file.insert(file.end(), data.begin(), data.end());
  Bytes out;
  EXPECT_EQ(szdd::ExpandBuffer(file, out), static_cast<std::int32_t>(size));
  return out;
}

// Inputs whose best parse waits long for its path: stretches of one byte or
// a short pattern (every position a full-length match), alone or between
// short stretches of noise; two-letter text, where many parses tie.
std::vector<test::CorpusFile> HardInputs() {
  std::mt19937 random(11);
  auto noise = [&](Bytes& to, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) to.push_back(static_cast<std::uint8_t>(random()));
  };
  std::vector<test::CorpusFile> inputs;
  for (const std::size_t period : {1u, 3u, 18u, 100u}) {
    Bytes data;
    noise(data, 50);
    for (std::size_t i = 0; i < 400'000; ++i) data.push_back(data[i % period]);
    noise(data, 7);
    inputs.push_back({"period " + std::to_string(period), data});
  }
  for (const std::size_t gap : {5u, 20u, 60u}) {
    Bytes data;
    while (data.size() < 500'000) {
      data.insert(data.end(), 100 + random() % 300, static_cast<std::uint8_t>(random() % 2));
      noise(data, gap);
    }
    inputs.push_back({"runs with noise of " + std::to_string(gap), data});
  }
  Bytes sparse(600'000, 0);
  for (std::size_t i = 0; i < sparse.size(); i += 4999) sparse[i] = 1;
  inputs.push_back({"sparse", sparse});
  Bytes twoLetters(200'000);
  for (auto& b : twoLetters) b = static_cast<std::uint8_t>('a' + random() % 2);
  inputs.push_back({"two letters", twoLetters});
  return inputs;
}

TEST(StreamCompressor, DecidingEarlyGivesTheBytesOfOnePassAtTheEnd) {
  auto inputs = HardInputs();
  for (auto& file : test::MakeCorpus(test::kWineDlls)) inputs.push_back(std::move(file));
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.name);
    const Outcome reference = OnePass(input.bytes);
    EXPECT_TRUE(Expanded(reference.data, input.bytes.size()) == input.bytes);
    struct Way {
      std::size_t batch, piece;
    };
    for (const Way way : {Way{50, 777}, Way{4096, 1}, Way{4096, szdd::kStreamBlock}}) {
      if (way.piece == 1 && input.bytes.size() > 100'000) continue;  // slow, and nothing new
      SCOPED_TRACE("settled every " + std::to_string(way.batch) + ", read in pieces of " +
                   std::to_string(way.piece));
      const Outcome run = Compress(input.bytes, way.batch, SIZE_MAX, way.piece);
      EXPECT_TRUE(run.data == reference.data);
      EXPECT_EQ(run.stats.forced, 0u);
      // Stretches wait as one entry each: a few batches at most, whatever
      // their length.
      EXPECT_LT(run.stats.mostPending, way.batch + 20'000);
    }
  }
}

// What lets a stretch of full-length matches wait as one entry: the first
// of kForcedAhead + 1 positions with full-length matches takes one, whatever
// the costs of the 18 positions after them. Costs are linear in those 18, so
// it is enough that each of them alone, as the only way on, favours the full
// match: its cost by a full match is no higher than by any shorter match or a
// literal.
TEST(StreamCompressor, AFullMatchFollowedByEnoughMoreIsForced) {
  constexpr std::size_t k = OptimalParse::kForcedAhead + 1;
  constexpr std::uint64_t kNever = std::uint64_t{1} << 40;
  for (std::size_t exit = 0; exit < 18; ++exit) {
    // cost[x]: from position x to position k + exit, landing on no other
    // position from k on.
    std::vector<std::uint64_t> cost(k + 18, kNever);
    cost[k + exit] = 0;
    for (std::size_t x = k; x-- > 0;) {
      cost[x] = cost[x + 1] + 9;
      for (std::size_t len = 3; len <= 18; ++len) cost[x] = std::min(cost[x], cost[x + len] + 17);
      cost[x] = std::min(cost[x], kNever);
    }
    SCOPED_TRACE("exit " + std::to_string(exit));
    EXPECT_LE(cost[18] + 17, cost[1] + 9);
    for (std::size_t len = 3; len < 18; ++len) EXPECT_LE(cost[18], cost[len]) << "match of " << len;
  }
}

// Past the limit the parse is decided before it is final: still a sound
// file, never smaller than the optimum.
TEST(StreamCompressor, ALowLimitCostsBytesButNotCorrectness) {
  std::size_t forced = 0;
  for (auto input : HardInputs()) {
    SCOPED_TRACE(input.name);
    input.bytes.resize(std::min<std::size_t>(input.bytes.size(), 50'000));
    const Outcome reference = OnePass(input.bytes);
    const Outcome run = Compress(input.bytes, 16, 64, 4096);
    EXPECT_TRUE(Expanded(run.data, input.bytes.size()) == input.bytes);
    EXPECT_GE(run.data.size(), reference.data.size());
    forced += run.stats.forced;
  }
  EXPECT_GT(forced, 0u) << "the limit was never reached: nothing tested";
}

}  // namespace
}  // namespace vxr::pack
