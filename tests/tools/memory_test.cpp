// vxrpack compress and expand hold the same memory for a file of a few
// hundred megabytes as for one of one megabyte: the peak resident set of the
// process, as the system accounts it to a finished child.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <random>

#include "tests/support/corpus.h"
#include "tests/tools/run_tool.h"

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

struct Measured {
  int exitCode = -1;
  long peakKb = 0;
};

// Runs a child to its end and reads its peak resident set from wait4. The
// child starts as a copy of this process, whose resident set counts too until
// the program is loaded: this process stays small.
template <typename Child>
Measured Measure(Child child) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) _exit(child());
  int status = 0;
  rusage usage{};
  Measured m;
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
    m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m.peakKb = usage.ru_maxrss;
  }
  return m;
}

Measured Vxrpack(const char* command, const fs::path& in, const fs::path& out) {
  return Measure([&] {
    if (!std::freopen("/dev/null", "w", stdout)) return 126;
    execl(VXRPACK_PATH, VXRPACK_PATH, command, "-q", in.c_str(), out.c_str(), static_cast<char*>(nullptr));
    return 127;
  });
}

// A mixed file written a mebibyte at a time: stretches of noise, of text with
// few letters, of zeros and of a short pattern repeated, and one long run of
// zeros, the case whose parse waits longest.
void WriteMixed(const fs::path& path, std::size_t mebibytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::mt19937 random(2024);
  Bytes block(1 << 20);
  for (std::size_t i = 0; i < mebibytes; ++i) {
    switch (i % 8) {
      case 0:
        for (auto& b : block) b = static_cast<std::uint8_t>(random());
        break;
      case 1:
      case 2:
        for (auto& b : block) b = static_cast<std::uint8_t>("etaoin shrdlu\n"[random() % 14]);
        break;
      case 3:
        for (std::size_t j = 0; j < block.size(); ++j) block[j] = static_cast<std::uint8_t>(j % 100 * 7);
        break;
      default:
        std::fill(block.begin(), block.end(), 0);
        if (i < 16 || i > 48) block[random() % block.size()] = 1;  // else one 30 MiB run
    }
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
  }
}

bool SameFiles(const fs::path& a, const fs::path& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (fa && fb) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    if (fa.gcount() != fb.gcount() ||
        std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(fa.gcount())))
      return false;
  }
  return !fa && !fb;
}

TEST(Memory, CompressAndExpandStayFlatFromOneToHundredsOfMegabytes) {
  const ScratchDir dir("memory");
  // The measurement sees what a child holds: one that touches 200 MB.
  constexpr std::size_t kControl = 200u << 20;
  const Measured control = Measure([] {
    std::vector<char> held(kControl, 1);
    return held[kControl / 2] == 1 ? 0 : 1;
  });
  ASSERT_EQ(control.exitCode, 0);
  EXPECT_GE(control.peakKb, static_cast<long>(kControl >> 10));

  struct Peaks {
    long compress = 0, expand = 0;
  };
  auto peaks = [&](std::size_t mebibytes) {
    const fs::path in = dir / "in.bin", packed = dir / "in.bi_", back = dir / "back.bin";
    WriteMixed(in, mebibytes);
    const Measured c = Vxrpack("compress", in, packed);
    const Measured e = Vxrpack("expand", packed, back);
    EXPECT_EQ(c.exitCode, 0) << mebibytes << " MiB";
    EXPECT_EQ(e.exitCode, 0) << mebibytes << " MiB";
    EXPECT_TRUE(SameFiles(in, back)) << mebibytes << " MiB";
    std::printf("%zu MiB: compress %ld KB, expand %ld KB at most\n", mebibytes, c.peakKb, e.peakKb);
    for (const auto& p : {in, packed, back}) fs::remove(p);
    return Peaks{c.peakKb, e.peakKb};
  };
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  std::printf("this process: %ld KB at most\n", self.ru_maxrss);
  const Peaks small = peaks(1);
  const Peaks large = peaks(256);
  // A few blocks and tables, the same for both; the input alone would be
  // 262,144 KB.
  constexpr long kSlackKb = 16 << 10;
  EXPECT_LE(large.compress, small.compress + kSlackKb);
  EXPECT_LE(large.expand, small.expand + kSlackKb);
}

}  // namespace
}  // namespace vxr::test
