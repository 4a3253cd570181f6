// Our SZDD files under Wine, through the two readers the setup's world has:
// LZ32 (LZOpenFileA/LZCopy, what the setup calls on Windows) and expand.exe.
// A plain program (GoogleTest does not build with MinGW's win32 thread
// model): it prints each failure and closes with "N passed, N failed".
#include <windows.h>
// After windows.h.
#include <lzexpand.h>

#include <cstdio>
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

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& what, const std::string& detail = {}) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s %s\n", what.c_str(), detail.c_str());
  }
}

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

// Through LZ32, as the setup expands its pieces on Windows.
void ExpandWithLz32(const fs::path& in, const fs::path& out, const test::CorpusFile& file) {
  OFSTRUCT inInfo{}, outInfo{};
  const INT source = LZOpenFileA(const_cast<char*>(in.string().c_str()), &inInfo, OF_READ);
  const INT destination = LZOpenFileA(const_cast<char*>(out.string().c_str()), &outInfo, OF_CREATE);
  if (source < 0 || destination < 0) {
    Check(false, "LZ32 " + file.name,
          "open error " + std::to_string(inInfo.nErrCode) + "/" + std::to_string(outInfo.nErrCode));
    if (source >= 0) LZClose(source);
    if (destination >= 0) LZClose(destination);
    return;
  }
  const LONG copied = LZCopy(source, destination);
  LZClose(source);
  LZClose(destination);
  Check(copied == static_cast<LONG>(file.bytes.size()), "LZ32 " + file.name,
        "expected " + std::to_string(file.bytes.size()) + " bytes, got " + std::to_string(copied));
  Check(Read(out) == file.bytes, "LZ32 " + file.name, "expanded bytes differ");
}

void ExpandWithExpandExe(const fs::path& in, const fs::path& out, const test::CorpusFile& file) {
  const fs::path expand = SystemFolder() / "expand.exe";
  std::wstring command = L"expand.exe \"" + in.wstring() + L"\" \"" + out.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(expand.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    Check(false, "expand.exe " + file.name, "cannot start " + expand.string());
    return;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Check(code == 0, "expand.exe " + file.name, "exit code " + std::to_string(code));
  Check(Read(out) == file.bytes, "expand.exe " + file.name, "expanded bytes differ");
}

}  // namespace
}  // namespace vxr::pack

int main() {
  using namespace vxr::pack;
  const fs::path dir = fs::temp_directory_path() / ("vxrpack-lz32-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);
  auto files = vxr::test::MakeCorpus(SystemFolder(), 3);
  for (auto& f : vxr::demo::DemoProduct()) files.push_back({f.installedName, std::move(f.bytes)});
  Check(files.size() >= 15, "corpus", "PE files missing from " + SystemFolder().string());

  for (const auto& file : files) {
    const auto packed = CompressSzdd(file.bytes, MissingChar(file.name));
    if (!packed) {
      Check(false, "compress " + file.name);
      continue;
    }
    const fs::path in = dir / StoredName(file.name);
    Write(in, *packed);
    ExpandWithLz32(in, dir / ("lz32-" + file.name), file);
    ExpandWithExpandExe(in, dir / ("expand-" + file.name), file);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
