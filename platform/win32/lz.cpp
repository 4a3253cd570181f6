// LZ32 itself: LZOpenFileA, LZCopy and LZClose. LZ32 only has ANSI entry
// points, so paths go through the ANSI code page.
#include "platform/lz.h"

#include "platform/ansi_text.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <lzexpand.h>

#include <string>

namespace platform {

std::int32_t LzOpenFile(std::wstring_view path, LzOpenInfo& info, std::uint16_t style) {
  std::string name = ToAnsi(path);
  OFSTRUCT of{};
  of.cBytes = sizeof(of);
  const INT handle = LZOpenFileA(name.data(), &of, style);
  info.errorCode = static_cast<std::int16_t>(of.nErrCode);
  return handle;
}

std::int32_t LzCopy(std::int32_t source, std::int32_t destination) { return LZCopy(source, destination); }

void LzClose(std::int32_t handle) {
  if (handle >= 0) LZClose(handle);
}

}  // namespace platform
