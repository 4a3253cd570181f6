// One line on standard output in UTF-8, as the host scripts read it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline void WriteLine(std::wstring_view line) {
  std::string out(line.size() * 3 + 1, '\0');
  out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, line.data(),
                                                          static_cast<int>(line.size()), out.data(),
                                                          static_cast<int>(out.size()), nullptr, nullptr)));
  out += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}
