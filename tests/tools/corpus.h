// Files to compress in the tests: real PE files, a WAV sound,
// incompressible bytes and the smallest cases. Made by the tests themselves;
// PE files are taken from a folder of Wine's DLLs when one is there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vxr::test {

struct CorpusFile {
  std::string name;  // a file name, with the extension that names its kind
  std::vector<std::uint8_t> bytes;
};

// Up to `peCount` PE files of `peFolder` (a spread of sizes, by fixed names),
// plus the made-up files.
std::vector<CorpusFile> MakeCorpus(const std::filesystem::path& peFolder, std::size_t peCount);

}  // namespace vxr::test
