// Our SZDD files under Wine, through the two readers the setup's world has:
// LZ32 (LZOpenFileA/LZCopy, what the setup calls on Windows) and expand.exe.
#include <windows.h>
// After windows.h.
#include <gtest/gtest.h>
#include <lzexpand.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/tools/corpus.h"
#include "tools/demo/demo_product.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return fs::path(std::wstring(folder, n));
}

Bytes Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class Lz32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ =
        new fs::path(fs::temp_directory_path() / ("vxrpack-lz32-" + std::to_string(GetCurrentProcessId())));
    fs::create_directories(*dir_);
    files_ = new std::vector<test::CorpusFile>(test::MakeCorpus(SystemFolder(), 3));
    for (auto& f : demo::DemoProduct()) files_->push_back({f.installedName, std::move(f.bytes)});
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(*dir_, ec);
    delete dir_;
    delete files_;
  }

  // Compresses a file under its stored name and returns that path.
  static fs::path Compressed(const test::CorpusFile& file) {
    const auto packed = CompressSzdd(file.bytes, MissingChar(file.name));
    EXPECT_TRUE(packed);
    const fs::path path = *dir_ / StoredName(file.name);
    Write(path, packed ? *packed : Bytes{});
    return path;
  }

  static fs::path* dir_;
  static std::vector<test::CorpusFile>* files_;
};
fs::path* Lz32Test::dir_ = nullptr;
std::vector<test::CorpusFile>* Lz32Test::files_ = nullptr;

TEST_F(Lz32Test, LzCopyGivesBackEveryFile) {
  EXPECT_GE(files_->size(), 15u) << "PE files missing from " << SystemFolder();
  for (const auto& file : *files_) {
    SCOPED_TRACE(file.name);
    const fs::path in = Compressed(file);
    const fs::path out = *dir_ / ("lz32-" + file.name);
    OFSTRUCT inInfo{}, outInfo{};
    const INT source = LZOpenFileA(const_cast<char*>(in.string().c_str()), &inInfo, OF_READ);
    ASSERT_GE(source, 0) << "open error " << inInfo.nErrCode;
    const INT destination = LZOpenFileA(const_cast<char*>(out.string().c_str()), &outInfo, OF_CREATE);
    ASSERT_GE(destination, 0) << "open error " << outInfo.nErrCode;
    const LONG copied = LZCopy(source, destination);
    LZClose(source);
    LZClose(destination);
    EXPECT_EQ(copied, static_cast<LONG>(file.bytes.size()));
    EXPECT_TRUE(Read(out) == file.bytes);
  }
}

TEST_F(Lz32Test, ExpandExeGivesBackEveryFile) {
  const fs::path expand = SystemFolder() / "expand.exe";
  ASSERT_TRUE(fs::exists(expand));
  for (const auto& file : *files_) {
    SCOPED_TRACE(file.name);
    const fs::path in = Compressed(file);
    const fs::path out = *dir_ / ("expand-" + file.name);
    std::wstring command = L"expand.exe \"" + in.wstring() + L"\" \"" + out.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(expand.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Read(out) == file.bytes);
  }
}

}  // namespace
}  // namespace vxr::pack
