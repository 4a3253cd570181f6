#include "format/pe_image.h"

#include <cstring>

namespace vxr::pe {
namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kCoffHeaderBytes = 20;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::uint32_t kSecurityDirectory = 4;

// Little-endian reads that refuse to look past the end.
bool Read16(std::span<const std::uint8_t> b, std::uint64_t at, std::uint16_t& v) {
  if (at > b.size() || b.size() - at < 2) return false;
  const auto i = static_cast<std::size_t>(at);  // in range, so it fits
  v = static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
  return true;
}

bool Read32(std::span<const std::uint8_t> b, std::uint64_t at, std::uint32_t& v) {
  if (at > b.size() || b.size() - at < 4) return false;
  const auto i = static_cast<std::size_t>(at);
  v = static_cast<std::uint32_t>(b[i]) | (static_cast<std::uint32_t>(b[i + 1]) << 8) |
      (static_cast<std::uint32_t>(b[i + 2]) << 16) | (static_cast<std::uint32_t>(b[i + 3]) << 24);
  return true;
}

}  // namespace

std::optional<Headers> ParseHeaders(std::span<const std::uint8_t> bytes) {
  std::uint16_t dosMagic = 0;
  std::uint32_t ntOffset = 0;
  if (!Read16(bytes, 0, dosMagic) || dosMagic != kDosMagic) return std::nullopt;
  if (!Read32(bytes, 0x3C, ntOffset)) return std::nullopt;

  std::uint32_t signature = 0;
  if (!Read32(bytes, ntOffset, signature) || signature != kPeSignature) return std::nullopt;
  const std::uint64_t coff = std::uint64_t{ntOffset} + 4;
  std::uint16_t sectionCount = 0;
  std::uint16_t optionalSize = 0;
  if (!Read16(bytes, coff + 2, sectionCount) || !Read16(bytes, coff + 16, optionalSize)) return std::nullopt;

  const std::uint64_t optional = coff + kCoffHeaderBytes;
  std::uint16_t magic = 0;
  if (!Read16(bytes, optional, magic)) return std::nullopt;
  Headers h;
  if (magic == kMagicPe32Plus) {
    h.is64 = true;
  } else if (magic != kMagicPe32) {
    return std::nullopt;
  }
  // NumberOfRvaAndSizes, then the directories, sit 16 bytes further on in PE32+
  // (ImageBase and the four stack/heap sizes are 64-bit there).
  const std::uint64_t countAt = optional + (h.is64 ? 108 : 92);
  const std::uint64_t directoriesAt = countAt + 4;
  std::uint32_t directoryCount = 0;
  if (countAt + 4 > optional + optionalSize || !Read32(bytes, countAt, directoryCount)) return std::nullopt;

  const std::uint64_t securityAt = directoriesAt + 8 * std::uint64_t{kSecurityDirectory};
  if (directoryCount > kSecurityDirectory && securityAt + 8 <= optional + optionalSize) {
    if (!Read32(bytes, securityAt, h.securityOffset) || !Read32(bytes, securityAt + 4, h.securitySize)) {
      return std::nullopt;
    }
    if (h.securityOffset == 0 || h.securitySize == 0) h.securityOffset = h.securitySize = 0;
  }

  const std::uint64_t table = optional + optionalSize;
  if (table + std::uint64_t{sectionCount} * kSectionHeaderBytes > bytes.size()) return std::nullopt;
  h.sectionCount = sectionCount;
  h.sectionTableOffset = static_cast<std::uint32_t>(table);
  return h;
}

std::optional<Section> FindSection(std::span<const std::uint8_t> bytes,
                                   std::span<const char, kSectionNameBytes> name) {
  const auto headers = ParseHeaders(bytes);
  if (!headers) return std::nullopt;
  for (std::uint32_t i = 0; i < headers->sectionCount; ++i) {
    const std::uint32_t at =
        headers->sectionTableOffset + i * static_cast<std::uint32_t>(kSectionHeaderBytes);
    if (std::memcmp(bytes.data() + at, name.data(), kSectionNameBytes) != 0) continue;
    Section s;
    s.headerOffset = at;
    // The table is known to lie inside `bytes`, so these reads cannot fail.
    Read32(bytes, at + 8, s.virtualSize);
    Read32(bytes, at + 12, s.virtualAddress);
    Read32(bytes, at + 16, s.rawSize);
    Read32(bytes, at + 20, s.fileOffset);
    return s;
  }
  return std::nullopt;
}

}  // namespace vxr::pe
