// vxrpack compress and expand write as they go, yet their output still
// appears whole or not at all: also when a write fails half-way, and when the
// output replaces the input itself.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "tests/support/corpus.h"
#include "tests/tools/run_tool.h"

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// vxrpack with files limited to `maxBytes`: a write beyond fails with EFBIG,
// as on a full disk.
int RunWithFileLimit(std::size_t maxBytes, const std::vector<std::string>& args, const fs::path& err) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{maxBytes, maxBytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || !std::freopen(err.c_str(), "w", stderr)) _exit(126);
    std::vector<char*> argv{const_cast<char*>(VXRPACK_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VXRPACK_PATH, argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Bytes Sample() {
  Bytes data = ReadFile(kWineDlls / "kernel32.dll");
  std::mt19937 random(4);
  while (data.size() < 3'000'000) data.push_back(static_cast<std::uint8_t>(random() % 16));
  return data;
}

TEST(StreamCli, AFailedWriteLeavesTheEarlierOutputAndNoTemporaryFile) {
  const ScratchDir dir("stream-cli");
  const Bytes data = Sample();
  WriteFile(dir / "in.bin", data);
  ASSERT_EQ(RunVxrpack(dir.path(), "compress", (dir / "in.bin").string(), (dir / "in.bi_").string()).exitCode,
            0);
  fs::create_directories(dir / "out");
  const Bytes earlier = {'o', 'l', 'd'};
  struct Case {
    const char* command;
    fs::path in;
  };
  for (const Case& c : {Case{"compress", dir / "in.bin"}, Case{"expand", dir / "in.bi_"}}) {
    SCOPED_TRACE(c.command);
    WriteFile(dir / "out" / "result", earlier);
    // Room for part of the output only.
    const int exitCode =
        RunWithFileLimit(500'000, {c.command, c.in.string(), (dir / "out" / "result").string()}, dir / "err");
    EXPECT_EQ(exitCode, 1);
    const Bytes err = ReadFile(dir / "err");
    const std::string message(err.begin(), err.end());
    EXPECT_NE(message.find("result: write failed"), std::string::npos) << message;
    EXPECT_TRUE(ReadFile(dir / "out" / "result") == earlier);
    EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{"result"});
  }
}

TEST(StreamCli, TheOutputMayReplaceTheInput) {
  const ScratchDir dir("stream-cli");
  const Bytes data = Sample();
  const fs::path file = dir / "file";
  WriteFile(file, data);
  auto run = RunVxrpack(dir.path(), "compress", file.string(), file.string());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_LT(fs::file_size(file), data.size());
  run = RunVxrpack(dir.path(), "expand", file.string(), file.string());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadFile(file) == data);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"file", "tool.err", "tool.out"}));
}

}  // namespace
}  // namespace vxr::test
