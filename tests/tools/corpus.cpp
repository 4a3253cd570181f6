#include "tests/tools/corpus.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace vxr::test {
namespace {

// PE files of a spread of sizes and kinds, looked up by name so that every run
// and every platform compresses the same ones where it can.
constexpr const char* kPeNames[] = {"lz32.dll",     "expand.exe", "notepad.exe",
                                    "advapi32.dll", "winmm.dll",  "regedit.exe"};

std::vector<std::uint8_t> Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 16-bit PCM WAVE file of a tone with noise on it, as a recorded sound is.
std::vector<std::uint8_t> Wave(std::size_t samples) {
  std::vector<std::uint8_t> out;
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  put(static_cast<std::uint32_t>(36 + samples * 2), 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(16, 4), put(1, 2), put(1, 2), put(22050, 4), put(44100, 4), put(2, 2), put(16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  put(static_cast<std::uint32_t>(samples * 2), 4);
  std::mt19937 random(7);
  std::int32_t x = 9000, y = 0;
  for (std::size_t i = 0; i < samples; ++i) {
    x -= (700 * y) >> 16;
    y += (700 * x) >> 16;
    const std::int32_t noise = static_cast<std::int32_t>(random() % 64) - 32;
    // Quiet stretches, as between the sounds of a recording.
    const std::int32_t s = (i / 2000) % 3 == 2 ? 0 : x + noise;
    put(static_cast<std::uint16_t>(static_cast<std::int16_t>(s)), 2);
  }
  return out;
}

}  // namespace

std::vector<CorpusFile> MakeCorpus(const std::filesystem::path& peFolder, std::size_t peCount) {
  std::vector<CorpusFile> corpus;
  for (const char* name : kPeNames) {
    if (corpus.size() == peCount) break;
    std::error_code ec;
    const auto path = peFolder / name;
    if (std::filesystem::is_regular_file(path, ec)) corpus.push_back({name, Slurp(path)});
  }
  corpus.push_back({"sound.wav", Wave(60000)});

  std::mt19937 random(3);
  std::vector<std::uint8_t> noise(100000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  corpus.push_back({"random.bin", noise});
  corpus.push_back({"empty.dat", {}});
  corpus.push_back({"one.dat", {0x41}});
  // Matches reaching into the window's starting spaces and runs crossing the
  // window's wrap, in the same file.
  std::vector<std::uint8_t> spaces(5000, ' ');
  spaces.insert(spaces.end(), 9000, 0);
  corpus.push_back({"runs.dat", spaces});
  // A block repeated exactly one window later: the match reaches the slot
  // about to be overwritten.
  std::vector<std::uint8_t> edge(noise.begin(), noise.begin() + 4096);
  edge.insert(edge.end(), noise.begin(), noise.begin() + 300);
  corpus.push_back({"window-edge.dat", edge});
  return corpus;
}

}  // namespace vxr::test
