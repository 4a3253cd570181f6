// Minimal PE images for tests: headers only, laid out as the linker would.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vxr::test {

struct PeSection {
  std::string name;  // up to 8 characters
  std::uint32_t virtualSize, virtualAddress, rawSize, fileOffset;
};

inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// DOS stub, "PE\0\0" at 0x80, a PE32 or PE32+ optional header with 16
// directories (the security one as given) and the section table; padded to
// `totalSize` bytes.
inline std::vector<std::uint8_t> MakePeImage(bool is64, const std::vector<PeSection>& sections,
                                             std::uint32_t securityOffset = 0, std::uint32_t securitySize = 0,
                                             std::size_t totalSize = 1024) {
  const std::size_t nt = 0x80;
  const std::size_t optionalSize = is64 ? 240 : 224;
  std::vector<std::uint8_t> b(totalSize, 0);
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, nt);
  std::memcpy(&b[nt], "PE\0\0", 4);
  Put16(b, nt + 4, is64 ? 0x8664 : 0x14C);
  Put16(b, nt + 6, static_cast<std::uint32_t>(sections.size()));
  Put16(b, nt + 20, static_cast<std::uint32_t>(optionalSize));
  const std::size_t opt = nt + 24;
  Put16(b, opt, is64 ? 0x20B : 0x10B);
  const std::size_t count = opt + (is64 ? 108 : 92);
  Put32(b, count, 16);
  Put32(b, count + 4 + 8 * 4, securityOffset);
  Put32(b, count + 4 + 8 * 4 + 4, securitySize);
  std::size_t at = opt + optionalSize;
  for (const auto& s : sections) {
    std::memcpy(&b[at], s.name.data(), s.name.size());
    Put32(b, at + 8, s.virtualSize);
    Put32(b, at + 12, s.virtualAddress);
    Put32(b, at + 16, s.rawSize);
    Put32(b, at + 20, s.fileOffset);
    at += 40;
  }
  return b;
}

}  // namespace vxr::test
