// Conversion between the program's wide text and the system's ANSI code page,
// which the ANSI forms of the Windows calls expect.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Characters the code page lacks take Windows' best fit ("ğ" becomes "g") or,
// without one, its default character '?'.
std::string ToAnsi(std::wstring_view text);
// Every byte is converted, NULs included, so a buffer keeps its length.
std::wstring FromAnsi(std::string_view bytes);

// The text comes back unchanged from the code page: an A call given it works
// on the name the user sees, not on a look-alike.
inline bool FitsAnsiCodePage(std::wstring_view text) { return FromAnsi(ToAnsi(text)) == text; }

}  // namespace platform
