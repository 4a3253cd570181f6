// The LZ expansion service, shaped after LZ32's LZOpenFileA, LZCopy and
// LZClose: small int handles, negative results for failures.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Open styles, with OpenFile's values.
inline constexpr std::uint16_t kOfRead = 0x0000;
inline constexpr std::uint16_t kOfCreate = 0x1000;  // create, or empty an existing file

// The part of OFSTRUCT that callers read after an open: nErrCode, the DOS
// error of a failed open, taken as a signed 16-bit number.
struct LzOpenInfo {
  std::int16_t errorCode = 0;
};

// A handle of 0 or above, or a negative number with info.errorCode set. A
// source that starts with an SZDD header is opened for expansion, any other
// for plain reading.
std::int32_t LzOpenFile(std::wstring_view path, LzOpenInfo& info, std::uint16_t style);

// Writes the expanded source (or an unchanged copy of a source without the
// header) to the destination: the number of bytes written, or a negative
// LZERROR code (codec/szdd_expander.h names them).
std::int32_t LzCopy(std::int32_t source, std::int32_t destination);

// Closes a handle of either kind; an invalid one is ignored.
void LzClose(std::int32_t handle);

}  // namespace platform
