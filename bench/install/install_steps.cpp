// Where the installation's time goes under Wine: the setup's own steps, timed
// one by one: the extraction (also without the CRC check) and expansion of
// every piece of a package, the registry step and the program group; and
// what in them is Windows' (here Wine's) own: LZ32 expanding the same pieces
// on its own, and Program Manager carrying out the group's commands.
//   install_steps.exe PACKAGE STAGING_DIR DESTINATION_DIR
// Prints milliseconds: extract, extract without CRC, CRC alone, expand,
// LZ32 alone, registry, group, Program Manager alone. Writes the product's
// registry values and Start-menu group.
#include <windows.h>
// After windows.h.
#include <lzexpand.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/crc32.h"
#include "engine/expand_files.h"
#include "engine/extract_piece.h"
#include "engine/payload_table.h"
#include "format/pe_image.h"
#include "platform/dde.h"
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

// LZ32 alone: the staged piece expanded through LZInit and LZCopy, with
// nothing of ours around it.
double Lz32Alone(const std::wstring& staged, const std::wstring& target) {
  const double start = Now();
  HANDLE in = CreateFileW(staged.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const INT source = LZInit(static_cast<INT>(reinterpret_cast<INT_PTR>(in)));
  LZCopy(source, static_cast<INT>(reinterpret_cast<INT_PTR>(out)));
  LZClose(source);
  CloseHandle(out);
  return Now() - start;
}

// Program Manager alone: the group's commands over one conversation.
double ProgramManagerAlone(const std::wstring& dir) {
  const double start = Now();
  platform::DdeConversation shell;
  if (!shell.Open(L"Progman", L"progman")) return 0;
  shell.Execute(L"[CreateGroup(Screen Recorder)]", vxr::kProgmanWaitMilliseconds);
  for (const auto& item : vxr::kGroupItems) {
    std::wstring command = L"[additem(\"" + dir + L"\\" + item.file + L"\"";
    if (*item.arguments) command += std::wstring(L" ") + item.arguments;
    shell.Execute(command + L"," + item.name + L")]", vxr::kProgmanWaitMilliseconds);
  }
  shell.Close();
  return Now() - start;
}

void RemoveGroup() {
  const std::wstring folder = vxr::GroupFolder();
  for (const auto& item : vxr::kGroupItems) DeleteFileW((folder + L"\\" + item.name + L".lnk").c_str());
  RemoveDirectoryW(folder.c_str());
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

  // Medians of five rounds, each a first installation: what Wine's timing
  // does from one round to the next is larger than some of the steps.
  constexpr int kRounds = 5;
  std::vector<double> figures[8];
  for (int round = 0; round < kRounds; ++round) {
    double extract = 0, extractWithoutCrc = 0, crc = 0, expand = 0, lz32 = 0;
    for (const auto& piece : *table) {
      const std::wstring staged = staging + L"\\" + piece.storedName;
      const std::wstring installed = destination + L"\\" + piece.installedName;
      DeleteFileW(staged.c_str());  // the staging file is always made new
      DeleteFileW(installed.c_str());
      double start = Now();
      if (!vxr::ExtractPiece(package, staged, piece.length, piece.distance)) return 1;
      extractWithoutCrc += Now() - start;
      DeleteFileW(staged.c_str());
      start = Now();
      if (!vxr::ExtractPiece(package, staged, piece.length, piece.distance, piece.crc)) return 1;
      extract += Now() - start;
      const auto piece_bytes = ReadAll(staged);
      start = Now();
      volatile std::uint32_t sum = vxr::Crc32(piece_bytes);
      (void)sum;
      crc += Now() - start;
      start = Now();
      if (vxr::ExpandFile(staged, installed, vxr::ShowErrors::Yes) < 0) return 1;
      expand += Now() - start;
      lz32 += Lz32Alone(staged, staging + L"\\lz32.out");
    }
    NoWindow ui;
    double start = Now();
    vxr::WriteRegistrySettings(destination, ui);
    const double registry = Now() - start;
    // Each from no group at all: Program Manager makes a group more slowly
    // than it fills one that is there.
    RemoveGroup();
    const double progman = ProgramManagerAlone(destination);
    RemoveGroup();
    start = Now();
    vxr::CreateProgramGroup(destination, ui);
    const double group = Now() - start;
    const double round_[8] = {extract, extractWithoutCrc, crc, expand, lz32, registry, group, progman};
    for (int i = 0; i < 8; ++i) figures[i].push_back(round_[i]);
  }
  for (auto& figure : figures) {
    std::sort(figure.begin(), figure.end());
    std::printf("%.1f ", figure[kRounds / 2]);
  }
  std::printf("\n");
  return 0;
}
