// Measures the SZDD compressor against mscompress (Debian's mscompress, a
// COMPRESS work-alike) on the same files in the same run: total compressed
// size and throughput. Reports figures; asserts nothing.
//
//   pack_bench [FILE...]
// Without files: the large test corpus (tests/support/corpus.h) and all of it
// joined into one mixed file. Totals are by kind (file name extension).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "codec/szdd_expander.h"
#include "tests/support/corpus.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace {

namespace fs = std::filesystem;
using vxr::test::Bytes;
using Clock = std::chrono::steady_clock;

std::string Kind(const std::string& name) { return fs::path(name).extension().string(); }

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Totals {
  std::uint64_t original = 0, ours = 0, theirs = 0;
  double ourSeconds = 0, theirSeconds = 0;
};

void PrintRow(const std::string& name, const Totals& t) {
  const double mb = static_cast<double>(t.original) / 1e6;
  std::printf("%-22s %12llu %12llu %12llu %7.2f%% %8.1f %8.1f\n", name.c_str(),
              static_cast<unsigned long long>(t.original), static_cast<unsigned long long>(t.ours),
              static_cast<unsigned long long>(t.theirs),
              t.theirs ? 100.0 * (static_cast<double>(t.theirs) - static_cast<double>(t.ours)) /
                             static_cast<double>(t.theirs)
                       : 0.0,
              t.ourSeconds > 0 ? mb / t.ourSeconds : 0.0, t.theirSeconds > 0 ? mb / t.theirSeconds : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<vxr::test::CorpusFile> inputs;
  for (int i = 1; i < argc; ++i)
    inputs.push_back({fs::path(argv[i]).filename().string(), vxr::test::ReadFile(argv[i])});
  if (inputs.empty()) {
    inputs = vxr::test::MakeCorpus(vxr::test::kWineDlls, true);
    Bytes mixed;
    for (const auto& in : inputs) mixed.insert(mixed.end(), in.bytes.begin(), in.bytes.end());
    inputs.push_back({"mixed.mix", mixed});
  }

  const vxr::test::ScratchDir dir("pack-bench");
  std::printf("%-22s %12s %12s %12s %8s %8s %8s\n", "file", "bytes", "vxrpack", "mscompress", "smaller",
              "MB/s", "ms MB/s");
  std::vector<std::pair<std::string, Totals>> byKind;
  Totals all;
  bool sound = true;
  for (const auto& in : inputs) {
    Totals t;
    t.original = in.bytes.size();
    const auto start = Clock::now();
    const auto packed = vxr::pack::CompressSzdd(in.bytes, vxr::pack::MissingChar(in.name));
    t.ourSeconds = Seconds(Clock::now() - start);
    t.ours = packed->size();
    Bytes back;
    if (vxr::szdd::ExpandBuffer(*packed, back) < 0 || back != in.bytes) {
      std::printf("%s: DOES NOT EXPAND BACK\n", in.name.c_str());
      sound = false;
    }

    vxr::test::WriteFile(dir / in.name, in.bytes);
    const std::string command =
        "cd '" + dir.path().string() + "' && mscompress '" + in.name + "' >/dev/null 2>&1";
    const auto theirStart = Clock::now();
    const int rc = std::system(command.c_str());
    t.theirSeconds = Seconds(Clock::now() - theirStart);
    std::error_code ec;
    t.theirs = rc == 0 ? fs::file_size(dir / (in.name + "_"), ec) : 0;
    fs::remove(dir / in.name, ec);
    fs::remove(dir / (in.name + "_"), ec);
    PrintRow(in.name, t);

    auto it =
        std::find_if(byKind.begin(), byKind.end(), [&](const auto& k) { return k.first == Kind(in.name); });
    if (it == byKind.end()) it = byKind.insert(byKind.end(), {Kind(in.name), Totals{}});
    for (Totals* sum : {&it->second, &all}) {
      sum->original += t.original, sum->ours += t.ours, sum->theirs += t.theirs;
      sum->ourSeconds += t.ourSeconds, sum->theirSeconds += t.theirSeconds;
    }
  }
  std::printf("\n");
  for (const auto& [kind, totals] : byKind) PrintRow("total " + kind, totals);
  PrintRow("total", all);
  return sound ? 0 : 1;
}
