// The LZ expansion service, shaped after LZ32's LZOpenFileA, LZCopy and
// LZClose: small int handles, negative results for failures.
#pragma once

#include <cstdint>
#include <string>
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

// The compressed form of a name, which LZ32 tries when a source cannot be
// opened under its own: an extension of three characters or more gets "_" for
// its last one, a shorter one gets "_" appended, no extension gets "._".
inline std::wstring CompressedName(std::wstring_view path) {
  std::wstring name(path);
  const auto base = name.find_last_of(L'\\');
  const auto dot = name.find(L'.', base == std::wstring::npos ? 0 : base);
  if (dot == std::wstring::npos) return name + L"._";
  if (name.size() - dot - 1 < 3) return name + L"_";
  name.back() = L'_';
  return name;
}

}  // namespace platform
