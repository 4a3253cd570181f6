/* The demo product's main program: a stand-in for Tarvo's Screen Recorder.
 * It opens the two top-level windows the real product has, under their real
 * titles, so that the setup's running-copy check and its "Run VXR now." box
 * can be tried against a real process. It records nothing. */
#include <windows.h>

static const char kMainTitle[] = "Tarvo's Screen Recorder";
/* Hidden, like the real product's settings window; the setup looks for it too. */
static const char kSettingsTitle[] = "Screen Recorder Settings";
static const char kText[] =
    "Tarvo's Screen Recorder - DEMO\r\n\r\n"
    "This is a demo file of the VXR Setup demo package: a small stand-in\r\n"
    "for the real product, installed so that the setup can be tried out.\r\n"
    "It records nothing. Close this window to end it.";

static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      RECT area;
      HDC dc = BeginPaint(window, &ps);
      GetClientRect(window, &area);
      InflateRect(&area, -16, -16);
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, kText, -1, &area, DT_LEFT | DT_TOP | DT_WORDBREAK);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  WNDCLASSA cls;
  HWND window;
  MSG msg;
  (void)previous;
  (void)commandLine;

  ZeroMemory(&cls, sizeof cls);
  cls.lpfnWndProc = MainProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  cls.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
  cls.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  cls.lpszClassName = "VxrDemoRecorder";
  if (!RegisterClassA(&cls)) return 1;
  cls.lpfnWndProc = DefWindowProcA;
  cls.lpszClassName = "VxrDemoRecorderSettings";
  if (!RegisterClassA(&cls)) return 1;

  window = CreateWindowA("VxrDemoRecorder", kMainTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         520, 220, NULL, NULL, instance, NULL);
  if (!window) return 1;
  /* Never shown. */
  CreateWindowA("VxrDemoRecorderSettings", kSettingsTitle, WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                instance, NULL);
  ShowWindow(window, show);
  UpdateWindow(window);
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return (int)msg.wParam;
}
