// The corpus through mscompress, then back through our expander, msexpand and
// libmspack: all must give the original bytes and the same counts.
#include "tests/engine/corpus.h"

#include <gtest/gtest.h>
#include <mspack.h>

#include "engine/szdd_expander.h"

namespace vxr {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v mscompress >/dev/null && command -v msexpand >/dev/null") != 0) {
      GTEST_SKIP() << "mscompress and msexpand are not installed";
    }
    dir_ = fs::temp_directory_path() /
           ("vxr-corpus-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

Bytes LibmspackExpand(const fs::path& in, const fs::path& out) {
  msszdd_decompressor* d = mspack_create_szdd_decompressor(nullptr);
  if (!d) return {};
  Bytes result;
  if (msszddd_header* h = d->open(d, const_cast<char*>(in.c_str()))) {
    if (d->extract(d, h, const_cast<char*>(out.c_str())) == MSPACK_ERR_OK) result = test::ReadAll(out);
    d->close(d, h);
  }
  mspack_destroy_szdd_decompressor(d);
  return result;
}

TEST_F(CorpusTest, ThreeExpandersAgreeOnMscompressOutput) {
  const auto corpus = test::MakeCorpus(false);
  ASSERT_GE(corpus.size(), 10u);
  for (const auto& file : corpus) {
    SCOPED_TRACE(file.name);
    const fs::path original = dir_ / file.name;
    test::WriteAll(original, file.bytes);
    ASSERT_TRUE(test::MsCompress(original));
    const fs::path compressed = original.string() + "_";
    const Bytes packed = test::ReadAll(compressed);
    ASSERT_TRUE(szdd::HasHeader(packed));

    Bytes ours;
    EXPECT_EQ(szdd::ExpandBuffer(packed, ours), static_cast<std::int32_t>(file.bytes.size()));
    EXPECT_TRUE(ours == file.bytes);

    const fs::path viaMsexpand = dir_ / (file.name + ".msexpand");
    ASSERT_EQ(
        std::system(("msexpand < '" + compressed.string() + "' > '" + viaMsexpand.string() + "'").c_str()),
        0);
    EXPECT_TRUE(test::ReadAll(viaMsexpand) == ours);

    EXPECT_TRUE(LibmspackExpand(compressed, dir_ / (file.name + ".mspack")) == ours);
  }
}

}  // namespace
}  // namespace vxr
