// Where the installation's time goes under Wine: the setup's own steps, timed
// one by one: the extraction (also without the CRC check) and expansion (LZ32)
// of every piece of a package, the registry step and the program group.
//   install_steps.exe PACKAGE STAGING_DIR DESTINATION_DIR
// Prints milliseconds: extract, extract without CRC, CRC alone, expand,
// registry, group. Writes the product's registry values and Start-menu group.
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/crc32.h"
#include "engine/expand_files.h"
#include "engine/extract_piece.h"
#include "engine/payload_table.h"
#include "format/pe_image.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"

namespace {

double Now() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::uint8_t> ReadAll(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

class NoWindow final : public vxr::InstallUi {
 public:
  void SetStatusLine(std::wstring_view) override {}
  void RefreshWindow() override {}
};

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 4) {
    std::fputs("usage: install_steps PACKAGE STAGING_DIR DESTINATION_DIR\n", stderr);
    return 2;
  }
  const std::wstring package = argv[1], staging = argv[2], destination = argv[3];
  LocalFree(argv);

  const auto bytes = ReadAll(package);
  const auto section = vxr::pe::FindSection(bytes, vxr::payload::kSectionName);
  vxr::payload::Table stored{};
  if (!section || section->fileOffset + sizeof stored > bytes.size()) {
    std::fputs("no payload table\n", stderr);
    return 1;
  }
  std::memcpy(&stored, bytes.data() + section->fileOffset, sizeof stored);
  const auto table = vxr::ReadPayloadTable(stored);
  if (!table) {
    std::fputs("unreadable payload table\n", stderr);
    return 1;
  }
  CreateDirectoryW(staging.c_str(), nullptr);
  CreateDirectoryW(destination.c_str(), nullptr);

  double extract = 0, extractWithoutCrc = 0, crc = 0, expand = 0;
  for (const auto& piece : *table) {
    const std::wstring staged = staging + L"\\" + piece.storedName;
    double start = Now();
    if (!vxr::ExtractPiece(package, staged, piece.length, piece.distance)) return 1;
    extractWithoutCrc += Now() - start;
    DeleteFileW(staged.c_str());  // the staging file is always made new
    start = Now();
    if (!vxr::ExtractPiece(package, staged, piece.length, piece.distance, piece.crc)) return 1;
    extract += Now() - start;
    const auto piece_bytes = ReadAll(staged);
    start = Now();
    volatile std::uint32_t sum = vxr::Crc32(piece_bytes);
    (void)sum;
    crc += Now() - start;
    start = Now();
    if (vxr::ExpandFile(staged, destination + L"\\" + piece.installedName, vxr::ShowErrors::Yes) < 0) return 1;
    expand += Now() - start;
  }
  NoWindow ui;
  double start = Now();
  vxr::WriteRegistrySettings(destination, ui);
  const double registry = Now() - start;
  start = Now();
  vxr::CreateProgramGroup(destination, ui);
  const double group = Now() - start;
  std::printf("%.1f %.1f %.1f %.1f %.1f %.1f\n", extract, extractWithoutCrc, crc, expand, registry, group);
  return 0;
}
