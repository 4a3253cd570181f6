// The headless machine's code pages held against Windows' own conversion, and
// its default against the code page the Wine tests run with.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/ansi_text.h"
#include "platform/headless/code_pages.h"

namespace {

using namespace headless::code_pages;

TEST(CodePageTest, HeadlessConvertsAsWindowsDoes) {
  EXPECT_EQ(GetACP(), kWestern) << "the headless default is the test prefix's code page";
  for (const std::uint32_t codePage : {kWestern, kTurkish}) {
    for (unsigned byte = 0; byte < 256; ++byte) {
      const char c = static_cast<char>(byte);
      wchar_t wide = 0;
      ASSERT_EQ(MultiByteToWideChar(codePage, 0, &c, 1, &wide, 1), 1);
      EXPECT_EQ(ToWide(codePage, static_cast<std::uint8_t>(byte)), wide) << codePage << ": byte " << byte;
    }
    // Letters one of the two lacks, and characters neither has.
    for (const wchar_t c : std::wstring(L"ğĞşŞıİçÖŽžЯ漢€")) {
      char byte = 0;
      ASSERT_EQ(WideCharToMultiByte(codePage, 0, &c, 1, &byte, 1, nullptr, nullptr), 1);
      EXPECT_EQ(ToByte(codePage, c), byte) << codePage << ": U+" << std::hex << static_cast<int>(c);
    }
  }
  // The setup's own conversion on this Western Windows.
  EXPECT_EQ(platform::ToAnsi(L"Kaydedici Ğ"), "Kaydedici G");
}

}  // namespace
