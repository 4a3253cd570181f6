// Starts a program file the way the setup starts the product after Finish and
// prints how it went: "error N shell 0|1" (N the Windows error, 0 when it
// started; shell 1 when the desktop shell's process started it).
//   start_probe.exe as-user|direct PROGRAM DIRECTORY
// "direct" takes the route for machines where no desktop shell answers.
// Started any other way, as a decoy started by mistake would be, it shows a
// box titled "Start probe" until it is ended.
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <string>

#include "platform/process.h"
#include "tests/wine/utf8_line.h"

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring route = argc == 4 ? argv[1] : L"";
  if (route != L"as-user" && route != L"direct")
    return MessageBoxW(nullptr, L"Started by mistake", L"Start probe", MB_OK), 2;
  platform::ProgramStart started;
  if (route == L"direct")
    started.error = platform::StartProgramFile(argv[2], argv[3]);
  else
    started = platform::StartProgramAsUser(argv[2], argv[3]);
  LocalFree(argv);
  WriteLine(L"error " + std::to_wstring(started.error) + L" shell " + (started.byDesktopShell ? L"1" : L"0"));
  return 0;
}
