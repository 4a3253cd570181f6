// Text conversions at the edge of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Code-page text (CP_UTF8, CP_ACP) to wide text; malformed bytes become U+FFFD.
std::wstring ToWide(std::string_view text, unsigned codePage);
// Line breaks as the multi-line edit control wants them: every "\n" not
// already preceded by "\r" gets one.
std::wstring WithCrLf(std::wstring_view text);

}  // namespace platform::win32
