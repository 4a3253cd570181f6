// LZ32 behind files we open ourselves. LZOpenFileA keeps the path in an
// OFSTRUCT of 128 characters and fails on a longer one, and it only takes
// ANSI names; so the files are opened with CreateFileW, whatever their length
// and letters, and handed to LZ32 by handle: LZInit for the source, LZCopy's
// plain output for the destination. What LZOpenFileA does around its open
// stays as it was: a failed name is tried again in its compressed form, and
// a source LZ32 cannot read as compressed is read as it is.
#include "platform/lz.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <lzexpand.h>

#include <string>

namespace platform {

namespace {

constexpr std::int32_t kHfileError = -1;

HANDLE Open(const std::wstring& path, bool forReading) {
  return forReading ? CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)
                    : CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
}

// LZ32 takes Win32 file handles as HFILEs, as OpenFile returns them.
HFILE AsHfile(HANDLE handle) { return static_cast<HFILE>(reinterpret_cast<INT_PTR>(handle)); }

}  // namespace

std::int32_t LzOpenFile(std::wstring_view path, LzOpenInfo& info, std::uint16_t style) {
  info.errorCode = 0;
  const bool forReading = (style & kOfCreate) == 0;
  HANDLE file = Open(std::wstring(path), forReading);
  if (file == INVALID_HANDLE_VALUE && forReading) file = Open(CompressedName(path), forReading);
  if (file == INVALID_HANDLE_VALUE) {
    info.errorCode = static_cast<std::int16_t>(GetLastError());
    return kHfileError;
  }
  if (!forReading) return AsHfile(file);
  const INT compressed = LZInit(AsHfile(file));
  return compressed > 0 ? compressed : AsHfile(file);
}

std::int32_t LzCopy(std::int32_t source, std::int32_t destination) { return LZCopy(source, destination); }

void LzClose(std::int32_t handle) {
  if (handle >= 0) LZClose(handle);
}

}  // namespace platform
