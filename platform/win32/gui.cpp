#include "platform/win32/gui.h"

namespace platform::win32 {

HFONT DialogFont() {
  // Made once and kept for the whole run: every control of every form uses it.
  static HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      if (HFONT made = CreateFontIndirectW(&metrics.lfMessageFont)) return made;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

namespace {
int LogPixels(int index) {
  const ScreenDc screen(GetDC(nullptr));
  const int value = screen ? GetDeviceCaps(screen.Get(), index) : 0;
  return value > 0 ? value : 96;
}
}  // namespace

int LogPixelsX() { return LogPixels(LOGPIXELSX); }
int LogPixelsY() { return LogPixels(LOGPIXELSY); }

}  // namespace platform::win32
