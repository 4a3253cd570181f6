// vxrpack as a build machine runs it: exit codes, messages that name the
// offending path, outputs that appear whole or not at all (also when a write
// fails half-way or the output replaces the input), and as much memory held
// for hundreds of megabytes as for one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>

#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tools/demo/demo_product.h"

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
  long peakKb = 0;  // the loaded program's peak resident set
};

// Mebibytes of noise, text, a pattern and zeros, with one long run of zeros
// (30 MiB), the case whose parse waits longest.
void WriteMixed(const fs::path& path, std::size_t mebibytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::mt19937 random(2024);
  Bytes block(1 << 20);
  for (std::size_t i = 0; i < mebibytes; ++i) {
    for (std::size_t j = 0; j < block.size(); ++j) {
      const auto r = random();
      block[j] = static_cast<std::uint8_t>(i % 8 == 0   ? r
                                           : i % 8 < 3  ? "etaoin shrdlu\n"[r % 14]
                                           : i % 8 == 3 ? j % 100 * 7
                                                        : 0);
    }
    if (i % 8 > 3 && (i < 16 || i > 48)) block[random() % block.size()] = 1;
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
  }
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "out");
    WriteFile(dir_ / "stub.exe", MakeStub());
    for (const auto& file : demo::DemoProduct()) WriteFile(dir_ / "product" / file.installedName, file.bytes);
    WriteMixed(dir_ / "sample.bin", 3);  // several of the tool's blocks
  }

  // `child()` in a child process. Its peak resident set is read from /proc
  // while the program it loads runs: the system's own figure for a child also
  // counts the pages of this process that the child had before it loaded one.
  template <typename Child>
  ToolRun RunChild(Child child) const {
    const auto out = dir_ / "tool.out", err = dir_ / "tool.err";
    std::fflush(nullptr);
    int loaded[2];
    if (pipe2(loaded, O_CLOEXEC) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
      const bool redirected =
          std::freopen(out.c_str(), "w", stdout) && std::freopen(err.c_str(), "w", stderr);
      _exit(redirected ? child() : 126);
    }
    close(loaded[1]);
    char none;
    while (read(loaded[0], &none, 1) < 0 && errno == EINTR) {
    }
    close(loaded[0]);  // closed on exec, or on exit
    ToolRun run;
    int status = 0;
    pid_t ended = 0;
    while (pid > 0 && (ended = waitpid(pid, &status, WNOHANG)) == 0) {
      std::ifstream proc("/proc/" + std::to_string(pid) + "/status");
      for (std::string line; std::getline(proc, line);)
        if (line.rfind("VmHWM:", 0) == 0) run.peakKb = std::max(run.peakKb, std::stol(line.substr(6)));
      usleep(2000);
    }
    if (ended == pid) run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (const auto& [file, text] : {std::pair{out, &run.out}, std::pair{err, &run.err}}) {
      const Bytes bytes = ReadFile(file);
      text->assign(bytes.begin(), bytes.end());
    }
    return run;
  }

  // vxrpack with `args`; with `fileLimit`, writing a file beyond that many
  // bytes fails with EFBIG, as on a full disk.
  ToolRun Run(std::vector<std::string> args, rlim_t fileLimit = RLIM_INFINITY) const {
    return RunChild([&] {
      const rlimit limit{fileLimit, fileLimit};
      if (fileLimit != RLIM_INFINITY &&
          (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit)))
        return 126;
      std::vector<char*> argv{const_cast<char*>(VXRPACK_PATH)};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(VXRPACK_PATH, argv.data());
      return 127;
    });
  }

  // Only the files a run was meant to leave: no temporary ones.
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string S(const char* relative) const { return (dir_ / relative).string(); }

  const ScratchDir dir_{"cli"};
};

TEST_F(CliTest, BuildsChecksCompressesAndExpands) {
  EXPECT_EQ(Run({"--help"}).exitCode, 0);
  const std::vector<std::string> wrongUsages[] = {
      {"frobnicate"},
      {"build", "--stub", S("stub.exe"), "--output", S("out/x")},
      {"build", "--demo", "--product", S("product"), "--stub", S("stub.exe"), "--output", S("out/x")}};
  for (const auto& args : wrongUsages) EXPECT_EQ(Run(args).exitCode, 2) << args.size() << " arguments";
  EXPECT_TRUE(Names(dir_ / "out").empty());

  // Packages built with --demo and from a folder, listed, and installed:
  // tests/tools/packages.sh, tests/wine/e2e/install_test.sh. A damaged piece
  // fails the check, which names the package.
  auto run = Run({"build", "--stub", S("stub.exe"), "--demo", "--output", S("out/demo.exe")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Names(dir_ / "out"), std::vector<std::string>{"demo.exe"});
  Bytes damaged = ReadFile(dir_ / "out/demo.exe");
  damaged[damaged.size() - 100] ^= 1;
  WriteFile(dir_ / "damaged.exe", damaged);
  run = Run({"list", S("damaged.exe")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(S("damaged.exe")), std::string::npos) << run.err;

  const Bytes sample = ReadFile(dir_ / "sample.bin");
  // compress and expand as COMPRESS and EXPAND do, also in place.
  run = Run({"compress", S("sample.bin"), S("sample.bin")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Bytes packed = ReadFile(dir_ / "sample.bin");
  EXPECT_LT(packed.size(), sample.size());
  EXPECT_EQ(packed.at(9), 'n');  // the last letter of the name, which the stored name drops
  run = Run({"expand", S("sample.bin"), S("sample.bin")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadFile(dir_ / "sample.bin") == sample);
  EXPECT_EQ(Names(dir_.path()), (std::vector<std::string>{"damaged.exe", "out", "product", "sample.bin",
                                                          "stub.exe", "tool.err", "tool.out"}));
}

TEST_F(CliTest, FailuresNameTheCauseAndLeaveTheEarlierOutput) {
  fs::remove(dir_ / "product" / "Beep.wav");
  ASSERT_EQ(Run({"compress", S("sample.bin"), S("sample.bi_")}).exitCode, 0);
  struct Case {
    std::vector<std::string> args;  // all but the output
    const char* named;              // the path the message must name, the output's when empty
    const char* reason;             // and why it failed
    rlim_t fileLimit = RLIM_INFINITY;
  };
  const std::string stub = S("stub.exe"), product = S("product");
  const Case cases[] = {
      {{"build", "--stub", stub, "--product", product, "--output"}, "product/Beep.wav", "No such file"},
      {{"build", "--stub", product, "--demo", "--output"}, "product", "folder"},
      {{"compress", S("absent.txt")}, "absent.txt", "No such file"},
      // Room for part of the output only.
      {{"compress", S("sample.bin")}, "", "write failed", 500'000},
      {{"expand", S("sample.bi_")}, "", "write failed", 500'000},
  };
  for (const Case& c : cases) {
    for (const char* output : {"out/new", "out/old"}) {
      const std::string named = S(*c.named ? c.named : output);
      SCOPED_TRACE(c.args[0] + " naming " + named + ", to " + output);
      WriteFile(dir_ / "out/old", Bytes{'o', 'l', 'd'});
      auto args = c.args;
      args.push_back(S(output));
      const auto run = Run(args, c.fileLimit);
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
      EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
      EXPECT_EQ(Names(dir_ / "out"), std::vector<std::string>{"old"});
      EXPECT_TRUE(ReadFile(dir_ / "out/old") == (Bytes{'o', 'l', 'd'}));
    }
  }
}

TEST_F(CliTest, CompressAndExpandHoldAsMuchForHundredsOfMegabytesAsForOne) {
  // The measurement sees what a program holds: dd with a 200 MiB buffer. It is
  // sampled, and dd may end between two samples while it still fills its
  // buffer (a busy machine was seen at 203 of 205 MB): half of it is proof
  // enough at the scale below, where holding the input would add 256 MiB.
  const ToolRun control = RunChild(
      [] { return execlp("dd", "dd", "if=/dev/zero", "of=/dev/null", "bs=200M", "count=1", nullptr); });
  EXPECT_EQ(control.exitCode, 0);
  EXPECT_GE(control.peakKb, 100 << 10);

  const std::string in = S("in.bin"), packed = S("in.bi_"), back = S("back.bin");
  auto peaks = [&](std::size_t mebibytes) {
    WriteMixed(in, mebibytes);
    const ToolRun c = Run({"compress", "-q", in, packed}), e = Run({"expand", "-q", packed, back});
    EXPECT_EQ(c.exitCode, 0) << mebibytes << " MiB: " << c.err;
    EXPECT_EQ(e.exitCode, 0) << mebibytes << " MiB: " << e.err;
    const ToolRun cmp = RunChild([&] { return execlp("cmp", "cmp", in.c_str(), back.c_str(), nullptr); });
    EXPECT_EQ(cmp.exitCode, 0) << mebibytes << " MiB: " << cmp.out << cmp.err;
    std::printf("%zu MiB: compress %ld KB, expand %ld KB at most\n", mebibytes, c.peakKb, e.peakKb);
    return std::pair{c.peakKb, e.peakKb};
  };
  const auto [compressSmall, expandSmall] = peaks(1);
  const auto [compressLarge, expandLarge] = peaks(256);
  // A few blocks and tables, the same for both; the input alone is 262,144 KB.
  constexpr long kSlackKb = 16 << 10;
  EXPECT_LE(compressLarge, compressSmall + kSlackKb);
  EXPECT_LE(expandLarge, expandSmall + kSlackKb);
}

}  // namespace
}  // namespace vxr::test
