// Minimal PE images laid out as a linker would ("PE\0\0" at 0x80, 16
// directories). MakeStub stands in for the setup stub: complete enough for the
// packing tool to fill and for osslsigncode to sign.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/payload_format.h"

namespace vxr::test {

struct PeSection {
  std::string name;  // up to 8 characters
  std::uint32_t virtualSize, virtualAddress, rawSize, fileOffset;
};

inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 2; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Where the security directory's offset field is.
inline std::size_t SecurityDirectoryAt(bool is64) { return 0x80 + 24 + (is64 ? 112 : 96) + 4 * 8; }

// Padded with zeros to `totalSize` bytes.
inline std::vector<std::uint8_t> MakePeImage(bool is64, const std::vector<PeSection>& sections,
                                             std::uint32_t securityOffset = 0, std::uint32_t securitySize = 0,
                                             std::size_t totalSize = 1024) {
  using Fields = std::initializer_list<std::pair<std::size_t, std::uint32_t>>;
  const std::uint32_t nt = 0x80, opt = nt + 24, optionalSize = is64 ? 240 : 224;
  std::vector<std::uint8_t> b(totalSize, 0);
  std::memcpy(&b[0], "MZ", 2);
  std::memcpy(&b[nt], "PE\0\0", 4);
  // Machine, sections, optional header's size, characteristics (executable;
  // large-address-aware or 32-bit), magic, OS and subsystem versions, GUI.
  for (const auto& [at, v] : Fields{{nt + 4, is64 ? 0x8664 : 0x14C},
                                    {nt + 6, std::uint32_t(sections.size())},
                                    {nt + 20, optionalSize},
                                    {nt + 22, is64 ? 0x0022 : 0x0102},
                                    {opt, is64 ? 0x20B : 0x10B},
                                    {opt + 40, 4},
                                    {opt + 48, 4},
                                    {opt + 68, 2}})
    Put16(b, at, v);
  // e_lfanew, entry point, image base, section and file alignment, image and
  // headers size, directory count, the security directory.
  for (const auto& [at, v] : Fields{{0x3C, nt},
                                    {opt + 16, 0x1000},
                                    {opt + (is64 ? 24 : 28), 0x400000},
                                    {opt + 32, 0x1000},
                                    {opt + 36, 0x200},
                                    {opt + 56, 0x5000},
                                    {opt + 60, 0x200},
                                    {opt + (is64 ? 108 : 92), 16},
                                    {SecurityDirectoryAt(is64), securityOffset},
                                    {SecurityDirectoryAt(is64) + 4, securitySize}})
    Put32(b, at, v);
  std::size_t at = opt + optionalSize;
  for (const auto& s : sections) {
    std::memcpy(&b[at], s.name.data(), s.name.size());
    for (const auto& [field, v] : Fields{{8, s.virtualSize},
                                         {12, s.virtualAddress},
                                         {16, s.rawSize},
                                         {20, s.fileOffset},
                                         {36, s.name == ".text" ? 0x60000020 : 0x40000040}})
      Put32(b, at + field, v);
    at += 40;
  }
  return b;
}

struct StubOptions {
  bool withTableSection = true;
  std::optional<payload::Table> table{};  // default: an empty table of the right magic and version
  std::uint32_t securityOffset = 0, securitySize = 0;  // a signed stub's certificate table
};

// A PE32 image of one `ret` in .text and, unless left out, a .vxrpay section
// holding a payload table.
inline std::vector<std::uint8_t> MakeStub(const StubOptions& options = {}) {
  std::vector<PeSection> sections = {{".text", 0x400, 0x1000, 0x400, 0x200}};
  if (options.withTableSection) sections.push_back({".vxrpay", 0x400, 0x2000, 0x400, 0x600});
  auto image = MakePeImage(false, sections, options.securityOffset, options.securitySize,
                           options.withTableSection ? 0xA00 : 0x600);
  image[0x200] = 0xC3;
  if (options.withTableSection) {
    payload::Table table{};
    table.magic = payload::kMagic;
    table.version = payload::kFormatVersion;
    table.count = payload::kPieceCount;
    if (options.table) table = *options.table;
    std::memcpy(&image[0x600], &table, sizeof table);
  }
  return image;
}

}  // namespace vxr::test
