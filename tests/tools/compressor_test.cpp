// The corpus compressed by mscompress and by our compressor, then expanded by
// every SZDD decoder on the host (ours, msexpand, libmspack); and our
// compressor's sizes against the exact optimum.
#include <gtest/gtest.h>
#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "codec/szdd_expander.h"
#include "codec/szdd_format.h"
#include "tests/support/corpus.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// The fewest bits any parse can take, by brute force: every distance at every
// position. Independent of the compressor's match finder.
std::uint64_t OptimalBits(const Bytes& data) {
  Bytes buf(szdd::kWindowSize, ' ');
  buf.insert(buf.end(), data.begin(), data.end());
  const std::size_t n = data.size();
  std::vector<std::uint64_t> cost(n + 1, 0);
  std::vector<std::size_t> longest(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t at = szdd::kWindowSize + i;
    const std::size_t limit = std::min(szdd::kMaxMatch, n - i);
    for (std::size_t d = 1; d <= szdd::kWindowSize; ++d) {
      std::size_t len = 0;
      while (len < limit && buf[at - d + len] == buf[at + len]) ++len;
      longest[i] = std::max(longest[i], len);
    }
  }
  for (std::size_t i = n; i-- > 0;) {
    cost[i] = cost[i + 1] + 9;
    for (std::size_t len = szdd::kMinMatch; len <= longest[i]; ++len)
      cost[i] = std::min(cost[i], cost[i + len] + 17);
  }
  return cost[0];
}

using Decoder = bool (*)(const fs::path& in, const fs::path& out);

bool Msexpand(const fs::path& in, const fs::path& out) {
  const std::string command = "msexpand < '" + in.string() + "' > '" + out.string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

bool Libmspack(const fs::path& in, const fs::path& out) {
  msszdd_decompressor* d = mspack_create_szdd_decompressor(nullptr);
  const bool ok = d && d->decompress(d, in.c_str(), out.c_str()) == MSPACK_ERR_OK;
  if (d) mspack_destroy_szdd_decompressor(d);
  return ok;
}

TEST(Compressor, EveryDecoderGivesBackTheCorpusOfEitherCompressor) {
  const test::ScratchDir dir("compress");
  const auto corpus = test::MakeCorpus(test::kWineDlls);
  ASSERT_GE(corpus.size(), 15u) << "PE files missing from " << test::kWineDlls;
  for (const auto& file : corpus) {
    SCOPED_TRACE(file.name);
    const auto ours = CompressSzdd(file.bytes, MissingChar(file.name));
    ASSERT_TRUE(ours);
    ASSERT_GE(ours->size(), szdd::kHeaderSize);
    EXPECT_EQ((*ours)[szdd::kOffsetMode], szdd::kModeA);
    EXPECT_EQ((*ours)[szdd::kOffsetMissingChar], static_cast<std::uint8_t>(file.name.back()));
    test::WriteFile(dir / "ours", *ours);
    std::vector<fs::path> packed = {dir / "ours"};
    if (file.bytes.size() >= test::kMsCompressMinimum) {
      test::WriteFile(dir / file.name, file.bytes);
      ASSERT_TRUE(test::MsCompress(dir / file.name));
      packed.push_back(dir / (file.name + "_"));
    }
    for (const fs::path& in : packed) {
      SCOPED_TRACE(in.filename().string());
      Bytes expanded;
      const Bytes compressed = test::ReadFile(in);
      ASSERT_TRUE(szdd::HasHeader(compressed));
      EXPECT_EQ(szdd::ExpandBuffer(compressed, expanded), static_cast<std::int32_t>(file.bytes.size()));
      EXPECT_TRUE(expanded == file.bytes) << "our expander";
      for (const auto& [name, decode] :
           {std::pair<const char*, Decoder>{"msexpand", Msexpand}, {"libmspack", Libmspack}}) {
        fs::remove(dir / "out");
        EXPECT_TRUE(decode(in, dir / "out")) << name;
        EXPECT_TRUE(test::ReadFile(dir / "out") == file.bytes) << name;
      }
    }
  }
}

// The parse against the brute-force optimum, on inputs whose matches run
// into the starting spaces, across the window's wrap and up to 4096 back.
TEST(Compressor, SizeEqualsTheBruteForceOptimum) {
  std::mt19937 random(5);
  std::vector<Bytes> inputs;
  for (const unsigned alphabet : {2u, 4u, 26u}) {
    Bytes data(6000);
    for (auto& b : data) b = static_cast<std::uint8_t>('a' + random() % alphabet);
    inputs.push_back(data);
  }
  Bytes spaced(300, ' ');
  for (int i = 0; i < 3000; ++i)
    spaced.push_back(random() % 3 == 0 ? ' ' : static_cast<std::uint8_t>('x' + random() % 2));
  inputs.push_back(spaced);
  Bytes repeated(4096);
  for (auto& b : repeated) b = static_cast<std::uint8_t>(random());
  repeated.insert(repeated.end(), repeated.begin(), repeated.begin() + 40);
  inputs.push_back(repeated);
  inputs.push_back(Bytes(20, 'q'));
  inputs.push_back(Bytes{' ', ' ', ' '});

  for (const Bytes& data : inputs) {
    const auto packed = CompressSzdd(data, 'x');
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->size(), szdd::kHeaderSize + (OptimalBits(data) + 7) / 8) << "input of " << data.size();
    Bytes out;
    EXPECT_EQ(szdd::ExpandBuffer(*packed, out), static_cast<std::int32_t>(data.size()));
    EXPECT_TRUE(out == data);
  }
}

}  // namespace
}  // namespace vxr::pack
