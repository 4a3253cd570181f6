/* The demo product's uninstaller: a placeholder that says what it is. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  MessageBoxA(NULL,
              "Uninstall VXR - DEMO PLACEHOLDER\n\n"
              "This is a demo file of the VXR Setup demo package. It stands in for the "
              "uninstaller of Tarvo's Screen Recorder and removes nothing: delete the "
              "installation folder and the Ambretton registry key by hand.",
              "Uninstall VXR (demo)", MB_OK | MB_ICONINFORMATION);
  return 0;
}
