// vxrpack as a build machine runs it: exit codes, messages that name the
// offending path, and never a partial package under the output name.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tests/tools/run_tool.h"
#include "tools/demo/demo_product.h"

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "out");
    WriteFile(dir_ / "stub.exe", MakeStub());
    for (const auto& file : demo::DemoProduct()) WriteFile(dir_ / "product" / file.installedName, file.bytes);
  }
  // Only the files a run was meant to leave: no temporary ones.
  std::vector<std::string> OutputFolder() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_ / "out")) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string S(const char* relative) const { return (dir_ / relative).string(); }

  const ScratchDir dir_{"cli"};
};

TEST_F(CliTest, BuildsListsAndChecksTheDemoAndAProductFolder) {
  auto run =
      RunVxrpack(dir_.path(), "build", "--stub", S("stub.exe"), "--demo", "--output", S("out/demo.exe"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Screen Recorder.ex_"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("CRC-32"), std::string::npos);

  run = RunVxrpack(dir_.path(), "build", "--stub", S("stub.exe"), "--product", S("product"), "--output",
                   S("out/dir.exe"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The folder holds the demo's files, so both packages are the same bytes.
  EXPECT_TRUE(ReadFile(dir_ / "out/demo.exe") == ReadFile(dir_ / "out/dir.exe"));
  EXPECT_EQ(OutputFolder(), (std::vector<std::string>{"demo.exe", "dir.exe"}));

  run = RunVxrpack(dir_.path(), "list", S("out/demo.exe"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::size_t oks = 0;
  for (std::size_t at = run.out.find("  ok"); at != std::string::npos; at = run.out.find("  ok", at + 1))
    ++oks;
  EXPECT_EQ(oks, 8u) << run.out;

  // A damaged piece fails the check, which names the package.
  Bytes damaged = ReadFile(dir_ / "out/demo.exe");
  damaged[damaged.size() - 100] ^= 1;
  WriteFile(dir_ / "damaged.exe", damaged);
  run = RunVxrpack(dir_.path(), "list", S("damaged.exe"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("damaged.exe"), std::string::npos) << run.err;
}

TEST_F(CliTest, FailedBuildsNameTheCauseAndLeaveNoPackage) {
  fs::remove(dir_ / "product" / "Beep.wav");
  // An earlier package under the output name must survive a failed run.
  WriteFile(dir_ / "out" / "old.exe", Bytes{'o', 'l', 'd'});
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string named;   // the path the message must name
    const char* reason;  // and why it failed
  };
  const Case cases[] = {
      {"missing product file",
       {"--stub", S("stub.exe"), "--product", S("product")},
       S("product/Beep.wav"),
       "No such file"},
      {"missing stub", {"--stub", S("nothing.exe"), "--demo"}, S("nothing.exe"), "No such file"},
      {"stub is a folder", {"--stub", S("product"), "--demo"}, S("product"), "folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* output : {"out/new.exe", "out/old.exe"}) {
      std::string command = Quote(VXRPACK_PATH) + " build";
      for (const auto& a : c.args) command += " " + Quote(a);
      const auto run = RunCommand(command + " --output " + Quote(S(output)), dir_.path());
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
      EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
    EXPECT_EQ(OutputFolder(), std::vector<std::string>{"old.exe"});
    EXPECT_TRUE(ReadFile(dir_ / "out" / "old.exe") == (Bytes{'o', 'l', 'd'}));
  }
}

TEST_F(CliTest, CompressAndExpandOneFileLikeCompressAndExpand) {
  const Bytes original = ReadFile(dir_ / "product" / "Start.wav");
  auto run = RunVxrpack(dir_.path(), "compress", S("product/Start.wav"), S("out/Start.wa_"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Bytes packed = ReadFile(dir_ / "out/Start.wa_");
  ASSERT_GT(packed.size(), 14u);
  EXPECT_EQ(packed[9], 'v');
  EXPECT_LT(packed.size(), original.size());

  run = RunVxrpack(dir_.path(), "expand", S("out/Start.wa_"), S("out/Start.wav"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadFile(dir_ / "out/Start.wav") == original);

  // As EXPAND does, a file that is not compressed comes out unchanged.
  run = RunVxrpack(dir_.path(), "expand", S("product/VXR.chm"), S("out/copy.chm"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadFile(dir_ / "out/copy.chm") == ReadFile(dir_ / "product/VXR.chm"));

  run = RunVxrpack(dir_.path(), "compress", S("absent.txt"), S("out/absent.tx_"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(S("absent.txt")), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_ / "out/absent.tx_"));
}

TEST_F(CliTest, WrongUsageExitsWithTwo) {
  EXPECT_EQ(RunVxrpack(dir_.path(), "--help").exitCode, 0);
  EXPECT_EQ(RunVxrpack(dir_.path(), "frobnicate").exitCode, 2);
  EXPECT_EQ(RunVxrpack(dir_.path(), "build", "--stub", S("stub.exe"), "--output", S("out/x.exe")).exitCode,
            2);
  EXPECT_EQ(RunVxrpack(dir_.path(), "build", "--stub", S("stub.exe"), "--demo", "--product", S("product"),
                       "--output", S("out/x.exe"))
                .exitCode,
            2);
  EXPECT_TRUE(OutputFolder().empty());
}

}  // namespace
}  // namespace vxr::test
