// Measures the SZDD compressor against mscompress (Debian's mscompress, a
// COMPRESS work-alike) on the same files in the same run: total compressed
// size and throughput. Reports figures; asserts nothing.
//
//   pack_bench [FILE...]
// Without files: PE files from Wine's DLL folder, synthesised sounds, random
// bytes, and all of these joined into one mixed file.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/szdd_expander.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

struct Input {
  std::string name;
  std::string kind;
  Bytes bytes;
};

Bytes Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A recorded sound: 16-bit PCM, a few tones with a little noise, quiet gaps.
Bytes Sound(std::size_t samples, std::uint32_t seed) {
  Bytes out = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
               ' ', 16,  0,   0,   0,  1, 0,   1,   0,   0x22, 0x56, 0,   0,   0x44, 0xAC,
               0,   0,   2,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
  std::mt19937 random(seed);
  std::int64_t x = 8000, y = 0, e = 600;
  for (std::size_t i = 0; i < samples; ++i) {
    if (i % 11025 == 0) e = 300 + random() % 3000;
    x -= (e * y) >> 16;
    y += (e * x) >> 16;
    const bool quiet = (i / 7000) % 4 == 3;
    const std::int64_t s = quiet ? 0 : x + static_cast<std::int64_t>(random() % 32) - 16;
    out.push_back(static_cast<std::uint8_t>(s));
    out.push_back(static_cast<std::uint8_t>(s >> 8));
  }
  return out;
}

std::vector<Input> DefaultInputs() {
  std::vector<Input> inputs;
  const fs::path wine = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
  std::vector<fs::path> pe;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(wine, ec)) {
    const auto size = e.file_size(ec);
    if (size >= (64u << 10) && size <= (4u << 20)) pe.push_back(e.path());
  }
  std::sort(pe.begin(), pe.end());
  std::size_t total = 0;
  for (std::size_t i = 0; i < pe.size() && total < (24u << 20); i += 7) {
    inputs.push_back({pe[i].filename().string(), "executable", Read(pe[i])});
    total += inputs.back().bytes.size();
  }
  inputs.push_back({"sound-1.wav", "sound", Sound(1'500'000, 1)});
  inputs.push_back({"sound-2.wav", "sound", Sound(600'000, 2)});
  Bytes noise(2u << 20);
  std::mt19937 random(9);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  inputs.push_back({"random.bin", "random", noise});
  Bytes mixed;
  for (const auto& in : inputs) mixed.insert(mixed.end(), in.bytes.begin(), in.bytes.end());
  inputs.push_back({"mixed.bin", "mixed", mixed});
  return inputs;
}

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
  std::vector<Input> inputs;
  for (int i = 1; i < argc; ++i)
    inputs.push_back({fs::path(argv[i]).filename().string(), "given", Read(argv[i])});
  if (inputs.empty()) inputs = DefaultInputs();

  const fs::path dir = fs::temp_directory_path() / ("vxr-pack-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::printf("%-22s %12s %12s %12s %8s %8s %8s\n", "file", "bytes", "vxrpack", "mscompress", "smaller",
              "MB/s", "ms MB/s");
  std::vector<std::pair<std::string, Totals>> byKind;
  Totals all;
  bool sound = true;
  for (const Input& in : inputs) {
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

    Write(dir / in.name, in.bytes);
    const std::string command = "cd '" + dir.string() + "' && mscompress '" + in.name + "' >/dev/null 2>&1";
    const auto theirStart = Clock::now();
    const int rc = std::system(command.c_str());
    t.theirSeconds = Seconds(Clock::now() - theirStart);
    std::error_code ec;
    t.theirs = rc == 0 ? fs::file_size(dir / (in.name + "_"), ec) : 0;
    fs::remove(dir / in.name, ec);
    fs::remove(dir / (in.name + "_"), ec);
    PrintRow(in.name, t);

    auto it = std::find_if(byKind.begin(), byKind.end(), [&](const auto& k) { return k.first == in.kind; });
    if (it == byKind.end()) it = byKind.insert(byKind.end(), {in.kind, Totals{}});
    for (Totals* sum : {&it->second, &all}) {
      sum->original += t.original, sum->ours += t.ours, sum->theirs += t.theirs;
      sum->ourSeconds += t.ourSeconds, sum->theirSeconds += t.theirSeconds;
    }
  }
  std::printf("\n");
  for (const auto& [kind, totals] : byKind) PrintRow("total " + kind, totals);
  PrintRow("total", all);
  fs::remove_all(dir);
  return sound ? 0 : 1;
}
