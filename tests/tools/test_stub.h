// A minimal PE32 image that stands in for the setup stub in host tests: a
// one-instruction .text section and, unless left out, a .vxrpay section with
// a payload table. Small enough to read in a hex dump; complete enough for
// osslsigncode to sign.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "engine/payload_format.h"

namespace vxr::test {

struct StubOptions {
  bool withTableSection = true;
  std::optional<payload::Table> table;  // default: an empty table of the right magic and version
};

inline std::vector<std::uint8_t> MakeStub(const StubOptions& options = {}) {
  constexpr std::uint32_t kPe = 0x40, kOptional = kPe + 4 + 20, kSections = kOptional + 224;
  std::vector<std::uint8_t> image(0x800, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    image[at] = static_cast<std::uint8_t>(v);
    image[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  auto section = [&](int index, const char* name, std::uint32_t rva, std::uint32_t rawAt,
                     std::uint32_t flags) {
    const std::size_t at = kSections + 40u * static_cast<std::size_t>(index);
    std::memcpy(&image[at], name, std::strlen(name));
    put32(at + 8, 0x400);  // virtual size
    put32(at + 12, rva);
    put32(at + 16, 0x200 * 2);  // raw size
    put32(at + 20, rawAt);
    put32(at + 36, flags);
  };
  const std::uint16_t sectionCount = options.withTableSection ? 2 : 1;

  image[0] = 'M', image[1] = 'Z';
  put32(0x3C, kPe);
  std::memcpy(&image[kPe], "PE\0\0", 4);
  put16(kPe + 4, 0x14C);  // i386
  put16(kPe + 6, sectionCount);
  put16(kPe + 20, 224);     // optional header size
  put16(kPe + 22, 0x0102);  // executable, 32-bit
  put16(kOptional, 0x10B);
  put32(kOptional + 16, 0x1000);    // entry point
  put32(kOptional + 28, 0x400000);  // image base
  put32(kOptional + 32, 0x1000);    // section alignment
  put32(kOptional + 36, 0x200);     // file alignment
  put16(kOptional + 40, 4);
  put16(kOptional + 48, 4);
  put32(kOptional + 56, 0x3000);  // image size
  put32(kOptional + 60, 0x200);   // headers size
  put16(kOptional + 68, 2);       // GUI
  put32(kOptional + 72, 0x100000);
  put32(kOptional + 76, 0x1000);
  put32(kOptional + 80, 0x100000);
  put32(kOptional + 84, 0x1000);
  put32(kOptional + 92, 16);  // data directories

  section(0, ".text", 0x1000, 0x200, 0x60000020);
  image[0x200] = 0xC3;  // ret
  if (options.withTableSection) {
    section(1, ".vxrpay", 0x2000, 0x600, 0x40000040);
    payload::Table table{};
    table.magic = payload::kMagic;
    table.version = payload::kFormatVersion;
    table.count = payload::kPieceCount;
    if (options.table) table = *options.table;
    image.resize(0x600 + 0x400, 0);
    std::memcpy(&image[0x600], &table, sizeof table);
  } else {
    image.resize(0x600, 0);
  }
  return image;
}

}  // namespace vxr::test
