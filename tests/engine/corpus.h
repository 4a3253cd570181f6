// The files the expander is checked and measured on, made at run time: real
// PE files from Wine, WAV-like sound, incompressible and repetitive data and
// small files. Shared by the corpus test and the benchmark.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vxr::test {

using Bytes = std::vector<std::uint8_t>;

struct CorpusFile {
  std::string name;
  Bytes bytes;
};

inline Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

inline void WriteAll(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// 16-bit mono PCM behind a RIFF header: a decaying tone with a little noise,
// like the product's sounds.
inline Bytes WavLike(std::size_t samples, std::uint32_t seed) {
  Bytes b;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const std::string riff = "RIFF";
  b.insert(b.end(), riff.begin(), riff.end());
  put32(static_cast<std::uint32_t>(36 + samples * 2));
  const std::string fmt = "WAVEfmt ";
  b.insert(b.end(), fmt.begin(), fmt.end());
  put32(16);
  put32(0x00010001);  // PCM, mono
  put32(22050);
  put32(44100);
  put32(0x00100002);  // block align 2, 16 bits
  const std::string data = "data";
  b.insert(b.end(), data.begin(), data.end());
  put32(static_cast<std::uint32_t>(samples * 2));
  std::mt19937 random(seed);
  for (std::size_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i);
    const double v =
        12000.0 * std::exp(-t / 6000.0) * std::sin(t * 0.09) + static_cast<double>(random() % 64) - 32;
    const auto s = static_cast<std::int16_t>(v);
    b.push_back(static_cast<std::uint8_t>(s & 0xFF));
    b.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  return b;
}

// `large` adds the big Wine libraries the benchmark wants.
inline std::vector<CorpusFile> MakeCorpus(bool large) {
  std::vector<CorpusFile> files;
  const std::filesystem::path wine = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
  std::vector<std::string> pe = {"lz32.dll", "expand.exe", "kernel32.dll"};
  if (large) pe.insert(pe.end(), {"comctl32.dll", "user32.dll", "shell32.dll"});
  for (const auto& name : pe) {
    if (std::filesystem::exists(wine / name)) files.push_back({name, ReadAll(wine / name)});
  }
  files.push_back({"beep.wav", WavLike(2400, 1)});
  files.push_back({"start.wav", WavLike(large ? 400000 : 9700, 2)});
  std::mt19937 random(99);
  Bytes noise(large ? 4 << 20 : 100000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  files.push_back({"noise.bin", noise});
  files.push_back({"zeros.bin", Bytes(large ? 8 << 20 : 70000, 0)});
  files.push_back({"spaces.txt", Bytes(5000, ' ')});
  // mscompress mangles files under 16 bytes; the hand-made cases of the
  // expander's own test cover those.
  for (const std::size_t n : {16u, 17u, 31u, 64u, 4095u, 4096u, 4097u}) {
    Bytes small(n);
    for (std::size_t i = 0; i < n; ++i) small[i] = static_cast<std::uint8_t>("ab cab\n"[i % 7] + i / 300);
    files.push_back({"small" + std::to_string(n) + ".txt", small});
  }
  return files;
}

// Compresses `path` with Debian's mscompress, which writes path + "_".
inline bool MsCompress(const std::filesystem::path& path) {
  const std::string command = "mscompress '" + path.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::exists(path.string() + "_");
}

}  // namespace vxr::test
