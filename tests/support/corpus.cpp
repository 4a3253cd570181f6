#include "tests/support/corpus.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

// 16-bit mono PCM: a tone with a little noise and quiet stretches, as between
// the sounds of a recording.
Bytes Wave(std::size_t samples, std::uint32_t seed) {
  Bytes out;
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto text = [&](std::string_view t) { out.insert(out.end(), t.begin(), t.end()); };
  const auto size = static_cast<std::uint32_t>(samples * 2);
  text("RIFF"), put(36 + size, 4), text("WAVEfmt "), put(16, 4), put(1, 2), put(1, 2), put(22050, 4);
  put(44100, 4), put(2, 2), put(16, 2), text("data"), put(size, 4);
  std::mt19937 random(seed);
  std::int32_t x = 9000, y = 0;
  for (std::size_t i = 0; i < samples; ++i) {
    x -= (700 * y) >> 16;
    y += (700 * x) >> 16;
    const std::int32_t noise = static_cast<std::int32_t>(random() % 64) - 32;
    const std::int32_t s = (i / 2000) % 3 == 2 ? 0 : x + noise;
    put(static_cast<std::uint16_t>(static_cast<std::int16_t>(s)), 2);
  }
  return out;
}

}  // namespace

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<CorpusFile> MakeCorpus(const fs::path& peFolder, bool large) {
  std::vector<CorpusFile> corpus;
  std::vector<const char*> pe = {"lz32.dll", "expand.exe", "kernel32.dll"};
  if (large) pe.insert(pe.end(), {"comctl32.dll", "user32.dll", "shell32.dll"});
  for (const char* name : pe) {
    std::error_code ec;
    if (fs::is_regular_file(peFolder / name, ec)) corpus.push_back({name, ReadFile(peFolder / name)});
  }
  corpus.push_back({"beep.wav", Wave(2400, 1)});
  corpus.push_back({"sound.wav", Wave(large ? 1'500'000 : 60000, 2)});
  std::mt19937 random(3);
  Bytes noise(large ? 4 << 20 : 100000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  corpus.push_back({"random.bin", noise});
  // Matches reaching into the window's starting spaces and runs crossing the
  // window's wrap, in the same file.
  Bytes runs(5000, ' ');
  runs.insert(runs.end(), large ? 8 << 20 : 9000, 0);
  corpus.push_back({"runs.dat", runs});
  // A block repeated exactly one window later: the match reaches the slot
  // about to be overwritten.
  Bytes edge(noise.begin(), noise.begin() + 4096);
  edge.insert(edge.end(), noise.begin(), noise.begin() + 300);
  corpus.push_back({"window-edge.dat", edge});
  for (const std::size_t n : {16u, 17u, 4095u, 4096u, 4097u}) {
    Bytes text(n);
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<std::uint8_t>("ab cab\n"[i % 7] + i / 300);
    corpus.push_back({"small" + std::to_string(n) + ".txt", text});
  }
  corpus.push_back({"empty.dat", {}});
  corpus.push_back({"one.dat", {0x41}});
  return corpus;
}

bool MsCompress(const fs::path& path) {
  const std::string command = "mscompress '" + path.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && fs::exists(path.string() + "_");
}

ScratchDir::ScratchDir(std::string_view what) {
  static int count = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("vxr-" + std::string(what) + "-" + std::to_string(stamp) + "-" + std::to_string(++count));
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

}  // namespace vxr::test
