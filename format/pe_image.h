// Reading a PE image's headers from bytes: the section table and the security
// (certificate) directory. The input is untrusted: every offset is checked
// against the bytes given, and anything inconsistent makes the image unreadable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vxr::pe {

// Enough leading bytes of a file for the headers of any image our tools make
// (and of nearly every other): a caller that only reads a prefix reads this much.
inline constexpr std::size_t kHeaderProbeBytes = 4096;

inline constexpr std::size_t kSectionNameBytes = 8;

struct Headers {
  bool is64 = false;  // PE32+ optional header
  std::uint16_t sectionCount = 0;
  std::uint32_t sectionTableOffset = 0;  // file offset of the first 40-byte section header
  // The security directory, whose "address" is a file offset, not an RVA. Both
  // 0 when the image has none.
  std::uint32_t securityOffset = 0;
  std::uint32_t securitySize = 0;
};

struct Section {
  std::uint32_t headerOffset = 0;  // file offset of this section's header
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t fileOffset = 0;  // PointerToRawData
};

// The headers, when `bytes` starts with a DOS stub pointing at a PE signature,
// a COFF header, a PE32 or PE32+ optional header and a complete section table.
std::optional<Headers> ParseHeaders(std::span<const std::uint8_t> bytes);

// The section whose 8-byte, NUL-padded name equals `name`, the first of them if
// several do. Nothing when the headers don't parse or no section has that name.
std::optional<Section> FindSection(std::span<const std::uint8_t> bytes,
                                   std::span<const char, kSectionNameBytes> name);

}  // namespace vxr::pe
