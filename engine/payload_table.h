// The payload table: where each compressed piece lies in the package and what
// it is installed as. The setup carries it as constant data in its own PE
// section, which the packing tool rewrites to match the pieces it appends.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "format/payload_format.h"

namespace vxr {

struct PayloadPiece {
  int order = 0;                     // 1 to 8: the main program first
  std::wstring storedName;           // the staging file's name, "Stop.wa_"
  std::int32_t length = 0;           // bytes of the compressed piece
  std::int32_t distance = 0;         // bytes between its last byte and the package's end
  std::wstring installedName;        // "Stop.wav"
  std::optional<std::uint32_t> crc;  // CRC-32 of the compressed piece, when the table has one
};

using PayloadTable = std::array<PayloadPiece, payload::kPieceCount>;

// The rows of a table in its stored form; nothing when its magic, version or
// count is wrong, a name is empty or unterminated, or a length or distance is
// out of range.
std::optional<PayloadTable> ReadPayloadTable(const payload::Table& stored);

// The table in this program's own `.vxrpay` section, as the packing tool
// rewrote it in the file; the table as compiled when the image has no such
// section. Read through ReadPayloadTable.
std::optional<PayloadTable> EmbeddedPayloadTable();

// The table of the shipped package, in its stored form: the default contents
// of the embedded table.
const payload::Table& ShippedPayloadTable();

}  // namespace vxr
