// `vxrpack expand` and `vxrpack compress` as a user runs them: whole processes,
// file to file, interleaved round by round with their peers on the same files
// (a libmspack expander, a plain 64 KiB copy of the expanded bytes, and
// mscompress). Prints the median of the rounds and the peak memory of
// `vxrpack` on inputs of growing size. Reports figures; asserts nothing.
//
//   process_bench [--rounds N] [--sizes MB,MB,...]
// Defaults: 5 rounds; memory measured at 1, 50 and 500 MB.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/corpus.h"

namespace {

namespace fs = std::filesystem;
using vxr::test::Bytes;
using Clock = std::chrono::steady_clock;

struct Measure {
  double seconds = 0, user = 0, system = 0;
  long peakKb = 0;
  bool ok = false;
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs a program to its end, its output thrown away; wall time and the
// child's own CPU times and peak resident set.
Measure Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  Measure m;
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return m;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.user = Seconds(usage.ru_utime);
  m.system = Seconds(usage.ru_stime);
  m.peakKb = usage.ru_maxrss;
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return m;
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

// `bytes` of `source` repeated, copied in blocks.
void WriteRepeated(const fs::path& path, const fs::path& source, std::uint64_t bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<char> block(1 << 20);
  while (bytes > 0) {
    std::ifstream in(source, std::ios::binary);
    while (bytes > 0 && in) {
      in.read(block.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(bytes, block.size())));
      out.write(block.data(), in.gcount());
      bytes -= static_cast<std::uint64_t>(in.gcount());
    }
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Method {
  const char* name;
  std::vector<std::string> command;
  fs::path output;    // removed before each run
  fs::path expected;  // what the output must equal; empty: not checked
  std::vector<Measure> runs;
};

void PrintMethods(const std::vector<Method>& methods, double megabytes) {
  std::printf("%-22s %9s %9s %9s %9s %9s %10s\n", "", "median s", "MB/s", "user s", "sys s", "min s",
              "peak KB");
  for (const Method& m : methods) {
    std::vector<double> wall, user, sys;
    long peak = 0;
    for (const Measure& r : m.runs) {
      wall.push_back(r.seconds), user.push_back(r.user), sys.push_back(r.system);
      peak = std::max(peak, r.peakKb);
    }
    const double median = Median(wall);
    std::printf("%-22s %9.3f %9.1f %9.3f %9.3f %9.3f %10ld\n", m.name, median, megabytes / median,
                Median(user), Median(sys), *std::min_element(wall.begin(), wall.end()), peak);
  }
}

double MedianOf(const Method& m) {
  std::vector<double> wall;
  for (const Measure& r : m.runs) wall.push_back(r.seconds);
  return Median(wall);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  std::vector<std::uint64_t> sizesMb = {1, 50, 500};
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--rounds") == 0) {
      rounds = std::max(1, std::atoi(argv[i + 1]));
    } else if (std::strcmp(argv[i], "--sizes") == 0) {
      sizesMb.clear();
      for (char* p = argv[i + 1]; *p;) {
        sizesMb.push_back(std::strtoull(p, &p, 10));
        if (*p == ',') ++p;
      }
    }
  }

  const vxr::test::ScratchDir dir("process-bench");
  // The mixed file: Wine's PE files, sound, random bytes and runs, one after
  // another, about 52 MB. Not kept in memory: a child's peak memory counts
  // what it inherited from this process before it started its program.
  const fs::path original = dir / "mixed.bin";
  const fs::path packed = dir / "mixed.bi_";
  {
    Bytes mixed;
    for (const auto& f : vxr::test::MakeCorpus(vxr::test::kWineDlls, true))
      mixed.insert(mixed.end(), f.bytes.begin(), f.bytes.end());
    const Bytes more = vxr::test::ReadFile(vxr::test::kWineDlls / "ole32.dll");
    mixed.insert(mixed.end(), more.begin(), more.end());
    vxr::test::WriteFile(original, mixed);
  }
  const std::uint64_t mixedSize = fs::file_size(original);
  fs::create_directories(dir / "ms");
  fs::create_hard_link(original, dir / "ms" / "mixed.bin");
  const Measure first = Run({VXRPACK_PATH, "compress", "-q", original.string(), packed.string()});
  if (!first.ok) {
    std::fprintf(stderr, "vxrpack compress failed\n");
    return 1;
  }
  const double megabytes = static_cast<double>(mixedSize) / 1e6;
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  std::printf("mixed file: %llu bytes, SZDD by vxrpack: %llu bytes; %d rounds, interleaved\n",
              static_cast<unsigned long long>(mixedSize),
              static_cast<unsigned long long>(fs::file_size(packed)), rounds);
  std::printf("(peak memory of a child includes this process's %ld KB at the start)\n\n", self.ru_maxrss);

  const fs::path out = dir / "out.bin";
  std::vector<Method> expand = {
      {"vxrpack expand", {VXRPACK_PATH, "expand", packed.string(), out.string()}, out, original, {}},
      {"libmspack expander", {MSPACK_EXPAND_PATH, packed.string(), out.string()}, out, original, {}},
      {"64 KiB copy", {PLAIN_COPY_PATH, original.string(), out.string()}, out, original, {}},
  };
  const fs::path ours = dir / "ours.bi_";
  std::vector<Method> compress = {
      {"vxrpack compress",
       {VXRPACK_PATH, "compress", "-q", original.string(), ours.string()},
       ours,
       packed,
       {}},
      {"mscompress", {"mscompress", (dir / "ms" / "mixed.bin").string()}, dir / "ms" / "mixed.bin_", {}, {}},
  };
  for (int round = 0; round < rounds; ++round) {
    for (auto* group : {&expand, &compress}) {
      for (Method& m : *group) {
        std::error_code ec;
        fs::remove(m.output, ec);
        const Measure r = Run(m.command);
        if (!r.ok || !fs::exists(m.output) || (!m.expected.empty() && !SameFiles(m.output, m.expected))) {
          std::fprintf(stderr, "%s failed or wrote the wrong bytes\n", m.name);
          return 1;
        }
        m.runs.push_back(r);
      }
    }
  }
  std::printf("expansion (MB/s of expanded bytes)\n");
  PrintMethods(expand, megabytes);
  std::printf("  libmspack / vxrpack: %.2fx   vxrpack / copy: %.2fx\n\n",
              MedianOf(expand[1]) / MedianOf(expand[0]), MedianOf(expand[0]) / MedianOf(expand[2]));
  std::printf("compression (MB/s of input bytes)\n");
  PrintMethods(compress, megabytes);
  std::printf("  mscompress / vxrpack: %.2fx; sizes: vxrpack %llu, mscompress %llu\n\n",
              MedianOf(compress[1]) / MedianOf(compress[0]),
              static_cast<unsigned long long>(fs::file_size(ours)),
              static_cast<unsigned long long>(fs::file_size(dir / "ms" / "mixed.bin_")));
  fs::remove(dir / "ms" / "mixed.bin_");
  fs::remove(ours);

  std::printf("peak memory of vxrpack by input size (the mixed file repeated), one run each\n");
  std::printf("%10s %14s %12s %9s %14s %12s %9s\n", "input MB", "compress KB", "s", "MB/s", "expand KB", "s",
              "MB/s");
  for (const std::uint64_t mb : sizesMb) {
    const fs::path in = dir / "sized.bin", szdd = dir / "sized.bi_", back = dir / "sized.out";
    WriteRepeated(in, original, mb * 1000 * 1000);
    const Measure c = Run({VXRPACK_PATH, "compress", "-q", in.string(), szdd.string()});
    const Measure e = Run({VXRPACK_PATH, "expand", szdd.string(), back.string()});
    if (!c.ok || !e.ok || !SameFiles(in, back)) {
      std::fprintf(stderr, "vxrpack failed on %llu MB\n", static_cast<unsigned long long>(mb));
      return 1;
    }
    const double size = static_cast<double>(mb);
    std::printf("%10llu %14ld %12.2f %9.1f %14ld %12.2f %9.1f\n", static_cast<unsigned long long>(mb),
                c.peakKb, c.seconds, size / c.seconds, e.peakKb, e.seconds, size / e.seconds);
    for (const auto& p : {in, szdd, back}) fs::remove(p);
  }
  return 0;
}
