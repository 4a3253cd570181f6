// Minimal PE images laid out as a linker would ("PE\0\0" at 0x80, 16
// directories). MakeStub stands in for the setup stub: complete enough for the
// packing tool to fill and for osslsigncode to sign.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "format/payload_format.h"

namespace vxr::test {

struct PeSection {
  std::string name;  // up to 8 characters
  std::uint32_t virtualSize, virtualAddress, rawSize, fileOffset;
};

// Little-endian, `bytes` wide.
inline void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Padded with zeros to `totalSize` bytes.
inline std::vector<std::uint8_t> MakePeImage(bool is64, const std::vector<PeSection>& sections,
                                             std::uint32_t securityOffset = 0, std::uint32_t securitySize = 0,
                                             std::size_t totalSize = 1024) {
  const std::size_t nt = 0x80, opt = nt + 24;
  const std::size_t optionalSize = is64 ? 240 : 224;
  std::vector<std::uint8_t> b(totalSize, 0);
  std::memcpy(&b[0], "MZ", 2);
  Put(b, 0x3C, nt);
  std::memcpy(&b[nt], "PE\0\0", 4);
  Put(b, nt + 4, is64 ? 0x8664 : 0x14C, 2);
  Put(b, nt + 6, static_cast<std::uint32_t>(sections.size()), 2);
  Put(b, nt + 20, static_cast<std::uint32_t>(optionalSize), 2);
  Put(b, nt + 22, is64 ? 0x0022 : 0x0102, 2);  // executable; large-address-aware or 32-bit
  Put(b, opt, is64 ? 0x20B : 0x10B, 2);
  Put(b, opt + 16, 0x1000);                  // entry point
  Put(b, opt + (is64 ? 24 : 28), 0x400000);  // image base
  Put(b, opt + 32, 0x1000);                  // section alignment
  Put(b, opt + 36, 0x200);                   // file alignment
  Put(b, opt + 40, 4, 2);
  Put(b, opt + 48, 4, 2);
  Put(b, opt + 56, 0x5000);  // image size
  Put(b, opt + 60, 0x200);   // headers size
  Put(b, opt + 68, 2, 2);    // GUI
  Put(b, opt + (is64 ? 108 : 92), 16);
  const std::size_t security = opt + (is64 ? 112 : 96) + 4 * 8;  // the security directory
  Put(b, security, securityOffset);
  Put(b, security + 4, securitySize);
  std::size_t at = opt + optionalSize;
  for (const auto& s : sections) {
    std::memcpy(&b[at], s.name.data(), s.name.size());
    const std::uint32_t fields[] = {s.virtualSize, s.virtualAddress, s.rawSize, s.fileOffset};
    for (int i = 0; i < 4; ++i) Put(b, at + 8 + 4 * i, fields[i]);
    Put(b, at + 36, s.name == ".text" ? 0x60000020 : 0x40000040);
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
    const payload::Table table = options.table.value_or(
        payload::Table{payload::kMagic, payload::kFormatVersion, payload::kPieceCount, {}, {}});
    std::memcpy(&image[0x600], &table, sizeof table);
  }
  return image;
}

}  // namespace vxr::test
