// Starts a program file the way the setup starts the product after Finish and
// prints how it went: "error N shell 0|1" (N the Windows error, 0 when it
// started; shell 1 when the desktop shell's process started it).
//   start_probe.exe [direct] PROGRAM DIRECTORY
// "direct" takes the route for machines where no desktop shell answers.
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <string>

#include "platform/process.h"
#include "tests/wine/utf8_line.h"

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool direct = argc == 4 && std::wstring(argv[1]) == L"direct";
  if (argc != (direct ? 4 : 3)) return 2;
  const wchar_t* program = argv[direct ? 2 : 1];
  const wchar_t* directory = argv[direct ? 3 : 2];
  platform::ProgramStart started;
  if (direct)
    started.error = platform::StartProgramFile(program, directory);
  else
    started = platform::StartProgramAsUser(program, directory);
  LocalFree(argv);
  WriteLine(L"error " + std::to_wstring(started.error) + L" shell " + (started.byDesktopShell ? L"1" : L"0"));
  return 0;
}
