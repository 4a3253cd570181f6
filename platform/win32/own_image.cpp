#include "platform/own_image.h"

#include <windows.h>

#include <cstring>

namespace platform {

bool ReadOwnSection(std::span<const char, 8> name, std::span<std::uint8_t> out) {
  // The loader maps the headers at the module's base and each section at its
  // relative address, so the image describes itself.
  const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleW(nullptr));
  if (!base) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (std::memcmp(section->Name, name.data(), name.size()) != 0) continue;
    // Beyond its raw data a section holds only the zeros the loader added.
    const DWORD fromFile = section->Misc.VirtualSize < section->SizeOfRawData ? section->Misc.VirtualSize
                                                                              : section->SizeOfRawData;
    if (fromFile < out.size()) return false;
    std::memcpy(out.data(), base + section->VirtualAddress, out.size());
    return true;
  }
  return false;
}

}  // namespace platform
