// The headless machine's ANSI code page: Windows-1252 unless a test makes it
// a Turkish Windows (1254), where the setup's Turkish texts survive the ANSI
// calls.
#include "platform/ansi_text.h"

#include "platform/headless/code_pages.h"
#include "platform/headless/headless.h"

namespace headless {
namespace {
std::uint32_t codePage = code_pages::kWestern;
void ResetCodePage() { codePage = code_pages::kWestern; }
const ResetHook codePageHook{&ResetCodePage};
}  // namespace

void SetAnsiCodePage(std::uint32_t ansiCodePage) { codePage = ansiCodePage; }

}  // namespace headless

namespace platform {

std::string ToAnsi(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(headless::code_pages::ToByte(headless::codePage, c));
  return out;
}

std::wstring FromAnsi(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char b : bytes)
    out.push_back(headless::code_pages::ToWide(headless::codePage, static_cast<std::uint8_t>(b)));
  return out;
}

}  // namespace platform
