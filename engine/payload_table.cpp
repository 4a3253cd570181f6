#include "engine/payload_table.h"

#include <cstddef>
#include <span>

#include "platform/own_image.h"

namespace vxr {
namespace {

using payload::PieceEntry;
using payload::Table;

struct Row {
  const char* stored;
  const char* installed;
  std::int32_t length;
  std::int32_t distance;
};

// The shipped package, in processing order. Each distance is the sum of the
// lengths before it: the main program is last in the file.
constexpr Row kShippedRows[payload::kPieceCount] = {
    {"Screen Recorder.ex_", "Screen Recorder.exe", 669674, 0},
    {"Stop.wa_", "Stop.wav", 2576, 669674},
    {"Start.wa_", "Start.wav", 10594, 672250},
    {"Shot.wa_", "Shot.wav", 2990, 682844},
    {"Click.wa_", "Click.wav", 3866, 685834},
    {"Beep.wa_", "Beep.wav", 3375, 689700},
    {"Uninstall VXR.ex_", "Uninstall VXR.exe", 29921, 693075},
    {"VXR.ch_", "VXR.chm", 576903, 722996},
};

constexpr void CopyName(char (&to)[payload::kNameBytes], const char* from) {
  for (std::size_t i = 0; i < payload::kNameBytes - 1 && from[i] != '\0'; ++i) to[i] = from[i];
}

constexpr Table MakeShippedTable() {
  Table table{};
  table.magic = payload::kMagic;
  table.version = payload::kFormatVersion;
  table.count = payload::kPieceCount;
  for (std::size_t i = 0; i < payload::kPieceCount; ++i) {
    CopyName(table.pieces[i].storedName, kShippedRows[i].stored);
    CopyName(table.pieces[i].installedName, kShippedRows[i].installed);
    table.pieces[i].length = kShippedRows[i].length;
    table.pieces[i].distance = kShippedRows[i].distance;
  }
  return table;
}

constexpr Table kShippedTable = MakeShippedTable();

// The copy the program reads at run time. The packing tool overwrites these
// bytes in the executable file, so the compiler must neither fold them into
// the code nor drop them: they live in a section of their own, kept, and are
// read through a volatile pointer.
#if defined(_WIN32)
#define VXR_PAYLOAD_SECTION __attribute__((section(".vxrpay"), used))
#else
#define VXR_PAYLOAD_SECTION __attribute__((used))
#endif

// A NUL-terminated, non-empty UTF-8 name; nothing when malformed.
std::optional<std::wstring> DecodeName(const char (&bytes)[payload::kNameBytes]) {
  std::wstring out;
  std::size_t i = 0;
  while (i < payload::kNameBytes && bytes[i] != '\0') {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t extra = 0;
    char32_t c = lead;
    if (lead >= 0xF0 && lead < 0xF5) {
      extra = 3, c = lead & 0x07u;
    } else if (lead >= 0xE0) {
      extra = 2, c = lead & 0x0Fu;
    } else if (lead >= 0xC2) {
      extra = 1, c = lead & 0x1Fu;
    } else if (lead >= 0x80) {
      return std::nullopt;
    }
    if (i + extra >= payload::kNameBytes) return std::nullopt;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0u) != 0x80u) return std::nullopt;
      c = (c << 6) | (next & 0x3Fu);
    }
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    if (sizeof(wchar_t) == 2 && c > 0xFFFF) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
    i += extra + 1;
  }
  if (i == payload::kNameBytes || out.empty()) return std::nullopt;  // unterminated or empty
  return out;
}

}  // namespace

}  // namespace vxr

// A C name, so that the setup's link can keep the section (-u) whatever in the
// program reads it.
extern "C" VXR_PAYLOAD_SECTION const vxr::payload::Table vxr_payload_table = vxr::MakeShippedTable();

namespace vxr {

std::optional<PayloadTable> ReadPayloadTable(const Table& stored) {
  if (stored.magic != payload::kMagic || stored.version != payload::kFormatVersion ||
      stored.count != payload::kPieceCount) {
    return std::nullopt;
  }
  PayloadTable rows;
  for (std::size_t i = 0; i < payload::kPieceCount; ++i) {
    const PieceEntry& entry = stored.pieces[i];
    PayloadPiece& row = rows[i];
    auto storedName = DecodeName(entry.storedName);
    auto installedName = DecodeName(entry.installedName);
    if (!storedName || !installedName || entry.length < 1 || entry.distance < 0) return std::nullopt;
    row.order = static_cast<int>(i) + 1;
    row.storedName = std::move(*storedName);
    row.installedName = std::move(*installedName);
    row.length = entry.length;
    row.distance = entry.distance;
    if (entry.flags & payload::kHasCrc) row.crc = entry.crc32;
  }
  return rows;
}

std::optional<PayloadTable> EmbeddedPayloadTable() {
  Table copy;
  // The section as the loader mapped it from the package file, which is where
  // the packing tool wrote the table.
  if (platform::ReadOwnSection(payload::kSectionName,
                               std::span(reinterpret_cast<std::uint8_t*>(&copy), sizeof copy)))
    return ReadPayloadTable(copy);
  // A program without that section in its image (the host build) runs with the
  // table as compiled.
  const volatile unsigned char* from = reinterpret_cast<const volatile unsigned char*>(&vxr_payload_table);
  auto* to = reinterpret_cast<unsigned char*>(&copy);
  for (std::size_t i = 0; i < sizeof(Table); ++i) to[i] = from[i];
  return ReadPayloadTable(copy);
}

const payload::Table& ShippedPayloadTable() { return kShippedTable; }

}  // namespace vxr
