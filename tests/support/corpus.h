// Files the SZDD expander and compressor are checked and measured on, made at
// run time (PE files from a folder of Wine's DLLs when there is one), for the
// host tests, the benchmarks and the Windows programs run under Wine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vxr::test {

using Bytes = std::vector<std::uint8_t>;

struct CorpusFile {
  std::string name;  // with the extension that names its kind
  Bytes bytes;
};

inline const std::filesystem::path kWineDlls = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

Bytes ReadFile(const std::filesystem::path& path);
// Makes the file's folder when missing.
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// `large` is for the benchmarks: more PE files and megabytes of the rest.
std::vector<CorpusFile> MakeCorpus(const std::filesystem::path& peFolder, bool large = false);

// Debian's mscompress writes path + "_"; it mangles files under 16 bytes.
constexpr std::size_t kMsCompressMinimum = 16;
bool MsCompress(const std::filesystem::path& path);

// A new folder under the temporary one, removed with everything in it.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view what);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace vxr::test
