// The baseline of the installation benchmark under Wine: copies files from
// one folder into another with a plain 64 KiB ReadFile/WriteFile loop, as
// a Windows program does, and prints the milliseconds the copy took.
//   plain_copy.exe FROM_DIR TO_DIR NAME...
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 4) {
    std::fputs("usage: plain_copy FROM_DIR TO_DIR NAME...\n", stderr);
    return 2;
  }
  const std::wstring from = argv[1], to = argv[2];
  CreateDirectoryW(to.c_str(), nullptr);
  std::vector<char> buffer(64 * 1024);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 3; i < argc; ++i) {
    const std::wstring name = argv[i];
    HANDLE in = CreateFileW((from + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE out = CreateFileW((to + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "cannot open %ls\n", name.c_str());
      return 1;
    }
    DWORD read = 0, written = 0;
    while (ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
      if (!WriteFile(out, buffer.data(), read, &written, nullptr) || written != read) {
        std::fprintf(stderr, "cannot write %ls\n", name.c_str());
        return 1;
      }
    }
    CloseHandle(in);
    CloseHandle(out);
  }
  QueryPerformanceCounter(&end);
  LocalFree(argv);
  std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
  return 0;
}
