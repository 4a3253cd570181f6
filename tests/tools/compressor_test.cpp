// The compressor against every SZDD decoder on the host: ours, msexpand and
// libmspack; its sizes against the exact optimum and against mscompress.
#include <gtest/gtest.h>
#include <mspack.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "engine/szdd_expander.h"
#include "engine/szdd_format.h"
#include "tests/tools/corpus.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kWineDlls = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

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

class CompressorTest : public ::testing::Test {
 protected:
  struct Case {
    test::CorpusFile file;
    Bytes packed;
  };

  static void SetUpTestSuite() {
    dir_ = new fs::path(fs::temp_directory_path() / ("vxr-pack-compress-" + std::to_string(getpid())));
    fs::create_directories(*dir_);
    cases_ = new std::vector<Case>;
    for (auto& file : test::MakeCorpus(kWineDlls, 3)) {
      auto packed = CompressSzdd(file.bytes, MissingChar(file.name));
      ASSERT_TRUE(packed) << file.name;
      cases_->push_back({std::move(file), std::move(*packed)});
    }
  }
  static void TearDownTestSuite() {
    fs::remove_all(*dir_);
    delete dir_;
    delete cases_;
  }

  static fs::path* dir_;
  static std::vector<Case>* cases_;
};
fs::path* CompressorTest::dir_ = nullptr;
std::vector<CompressorTest::Case>* CompressorTest::cases_ = nullptr;

TEST_F(CompressorTest, CorpusHasEveryKindOfFile) {
  // Without Wine's DLLs the PE cases would silently vanish.
  EXPECT_GE(cases_->size(), 10u) << "PE files missing from " << kWineDlls;
}

TEST_F(CompressorTest, HeaderCarriesSignatureModeMissingCharacterAndSize) {
  for (const Case& c : *cases_) {
    SCOPED_TRACE(c.file.name);
    ASSERT_GE(c.packed.size(), szdd::kHeaderSize);
    EXPECT_TRUE(std::equal(szdd::kSignature.begin(), szdd::kSignature.end(), c.packed.begin()));
    EXPECT_EQ(c.packed[szdd::kOffsetMode], szdd::kModeA);
    EXPECT_EQ(c.packed[szdd::kOffsetMissingChar], static_cast<std::uint8_t>(c.file.name.back()));
    const std::uint32_t size = c.packed[10] | (c.packed[11] << 8) | (c.packed[12] << 16) |
                               (static_cast<std::uint32_t>(c.packed[13]) << 24);
    EXPECT_EQ(size, c.file.bytes.size());
  }
  EXPECT_EQ(StoredName("Screen Recorder.exe"), "Screen Recorder.ex_");
  EXPECT_EQ(StoredName("VXR.chm"), "VXR.ch_");
}

TEST_F(CompressorTest, OurExpanderGivesBackEveryFile) {
  for (const Case& c : *cases_) {
    SCOPED_TRACE(c.file.name);
    Bytes out;
    EXPECT_EQ(szdd::ExpandBuffer(c.packed, out), static_cast<std::int32_t>(c.file.bytes.size()));
    EXPECT_TRUE(out == c.file.bytes);
  }
}

TEST_F(CompressorTest, MsexpandGivesBackEveryFile) {
  for (const Case& c : *cases_) {
    SCOPED_TRACE(c.file.name);
    const fs::path in = *dir_ / "ms.in", out = *dir_ / "ms.out";
    WriteFile(in, c.packed);
    fs::remove(out);
    const std::string command = "msexpand < '" + in.string() + "' > '" + out.string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(ReadFile(out) == c.file.bytes);
  }
}

TEST_F(CompressorTest, LibmspackGivesBackEveryFile) {
  msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
  ASSERT_NE(decompressor, nullptr);
  for (const Case& c : *cases_) {
    SCOPED_TRACE(c.file.name);
    const fs::path in = *dir_ / "mspack.in", out = *dir_ / "mspack.out";
    WriteFile(in, c.packed);
    msszddd_header* header = decompressor->open(decompressor, in.c_str());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->format, MSSZDD_FMT_NORMAL);
    EXPECT_EQ(header->length, static_cast<off_t>(c.file.bytes.size()));
    EXPECT_EQ(header->missing_char, c.file.name.back());
    decompressor->close(decompressor, header);
    EXPECT_EQ(decompressor->decompress(decompressor, in.c_str(), out.c_str()), MSPACK_ERR_OK);
    EXPECT_TRUE(ReadFile(out) == c.file.bytes);
  }
  mspack_destroy_szdd_decompressor(decompressor);
}

TEST_F(CompressorTest, NeverLargerThanMscompress) {
  for (const Case& c : *cases_) {
    if (c.file.bytes.empty()) continue;  // mscompress refuses empty files
    SCOPED_TRACE(c.file.name);
    const fs::path in = *dir_ / c.file.name;
    WriteFile(in, c.file.bytes);
    const std::string command =
        "cd '" + dir_->string() + "' && mscompress '" + c.file.name + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto theirs = fs::file_size(*dir_ / (c.file.name + "_"));
    EXPECT_LE(c.packed.size(), theirs);
  }
}

TEST_F(CompressorTest, IncompressibleDataGrowsByAnEighthAndNoMore) {
  for (const Case& c : *cases_) {
    if (c.file.name != "random.bin" && c.file.bytes.size() > 1) continue;
    SCOPED_TRACE(c.file.name);
    // All literals: a flag bit per byte. Random data has a few chance
    // matches, each a bit shorter than the literals it replaces.
    const std::size_t n = c.file.bytes.size();
    EXPECT_LE(c.packed.size(), szdd::kHeaderSize + n + (n + 7) / 8);
    EXPECT_GE(c.packed.size(), szdd::kHeaderSize + n + n / 9);
  }
}

// The parse against the brute-force optimum, on inputs whose matches run
// into the starting spaces, across the window's wrap and up to 4096 back.
TEST(CompressorOptimality, EqualsTheBruteForceOptimum) {
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

TEST(CompressorProgress, ReportsTheWholeInputAtTheEnd) {
  Bytes data(3 << 20, 7);
  std::uint64_t last = 0, total = 0;
  int calls = 0;
  ASSERT_TRUE(CompressSzdd(data, 'x', [&](std::uint64_t done, std::uint64_t all) {
    EXPECT_GE(done, last);
    last = done, total = all, ++calls;
  }));
  EXPECT_GE(calls, 3);
  EXPECT_EQ(last, data.size());
  EXPECT_EQ(total, data.size());
}

}  // namespace
}  // namespace vxr::pack
