// GetNumberFormat with the user's separators and grouping but no decimals.
// The format is spelled out because the locale's own default has decimals, and
// because Wine misreads a locale's "3;0" grouping when left to itself.
#include "platform/number_format.h"

#include <windows.h>

namespace platform {

namespace {

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
  wchar_t text[16]{};
  return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 16) > 0 ? std::wstring(text)
                                                                 : std::wstring(fallback);
}

// The locale's grouping text ("3;0", "3;2;0", "3") as NUMBERFMT wants it: the
// sizes as decimal digits, a final 0 when the last size must not repeat.
UINT GroupingNumber(const std::wstring& text) {
  UINT number = 0;
  bool repeats = false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') continue;
    if (c == L'0') {
      repeats = true;
      break;
    }
    number = number * 10 + static_cast<UINT>(c - L'0');
  }
  return repeats || number == 0 ? number : number * 10;
}

}  // namespace

std::wstring FormatGrouped(std::uint64_t value) {
  // By hand: std::to_wstring would bring the C library's whole printf into the stub.
  wchar_t buffer[24];
  wchar_t* first = buffer + 23;
  *first = L'\0';
  do *--first = static_cast<wchar_t>(L'0' + value % 10);
  while ((value /= 10) != 0);
  const std::wstring digits(first);
  std::wstring decimal = LocaleText(LOCALE_SDECIMAL, L".");
  std::wstring thousand = LocaleText(LOCALE_STHOUSAND, L",");
  NUMBERFMTW format{};
  format.NumDigits = 0;
  format.LeadingZero = 0;
  format.Grouping = GroupingNumber(LocaleText(LOCALE_SGROUPING, L"3;0"));
  format.lpDecimalSep = decimal.data();
  format.lpThousandSep = thousand.data();
  format.NegativeOrder = 1;
  wchar_t out[64]{};
  if (GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, out, 64) <= 0 || !out[0])
    return digits;  // zero, which Wine formats as nothing, or a failure
  return out;
}

}  // namespace platform
