// Conversion between the program's wide text and the system's ANSI code page,
// which the ANSI forms of the Windows calls expect.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Characters the code page lacks become '?', as Windows' default character does.
std::string ToAnsi(std::wstring_view text);
// Every byte is converted, NULs included, so a buffer keeps its length.
std::wstring FromAnsi(std::string_view bytes);

}  // namespace platform
