// The payload table as the setup stub carries it in its own PE section and the
// packing tool rewrites it. Fixed-width, little-endian fields.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vxr::payload {

// PE section names are 8 bytes, NUL-padded.
inline constexpr char kSectionName[8] = {'.', 'v', 'x', 'r', 'p', 'a', 'y', '\0'};
inline constexpr std::uint32_t kMagic = 0x50525856;  // "VXRP"
inline constexpr std::uint16_t kFormatVersion = 1;
inline constexpr std::size_t kPieceCount = 8;
inline constexpr std::size_t kNameBytes = 40;  // UTF-8, NUL-padded

inline constexpr std::uint32_t kHasCrc = 1;  // PieceEntry::flags

// One piece, in the order the installation processes them (the main program
// first; it is the last piece in the file).
struct PieceEntry {
  char storedName[kNameBytes];     // "Screen Recorder.ex_"
  char installedName[kNameBytes];  // "Screen Recorder.exe"
  std::int32_t length;             // bytes of the compressed piece
  std::int32_t distance;           // bytes between the piece's last byte and the package's end
  std::uint32_t crc32;             // of the compressed piece, when flags has kHasCrc
  std::uint32_t flags;
};
static_assert(sizeof(PieceEntry) == 96);
static_assert(offsetof(PieceEntry, length) == 80);
static_assert(offsetof(PieceEntry, crc32) == 88);

struct Table {
  std::uint32_t magic;    // kMagic
  std::uint16_t version;  // kFormatVersion
  std::uint16_t count;    // kPieceCount
  std::uint32_t reserved[2];
  PieceEntry pieces[kPieceCount];
};
static_assert(sizeof(Table) == 16 + 8 * 96);
static_assert(offsetof(Table, pieces) == 16);

}  // namespace vxr::payload
