#include "engine/expand_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "codec/szdd_format.h"
#include "platform/headless/headless.h"
#include "platform/lz.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

constexpr wchar_t kSource[] = L"C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_";
constexpr wchar_t kTarget[] = L"C:\\Program Files\\Screen Recorder\\Stop.wav";

class ExpandFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolders(L"C:\\WINDOWS\\TEMP\\VXRTMP");
    machine_.MakeFolders(L"C:\\Program Files\\Screen Recorder");
    // "ABCDEFGH" then a match of 10 bytes back into it (slot 0xFF0 = 'A', 7 + 3 bytes): 18 bytes.
    std::string file(szdd::kSignature.begin(), szdd::kSignature.end());
    machine_.WriteFile(kSource, file + std::string{'A', 'v', 18, 0, 0, 0, '\xFF'} + "ABCDEFGH" +
                                    std::string{'\x00', '\xF0', '\xF7'});
  }
  // Quietly, then showing errors, `arm` setting up the failure before each: the
  // same result both ways, and no box from the quiet one. Boxes() holds the rest.
  std::int32_t Both(const std::function<void()>& arm, std::wstring_view target = kTarget) {
    headless::ClearShownBoxes();
    arm();
    const std::int32_t quiet = ExpandFile(kSource, target, ShowErrors::No);
    EXPECT_TRUE(Boxes().empty());
    arm();
    EXPECT_EQ(ExpandFile(kSource, target, ShowErrors::Yes), quiet);
    return quiet;
  }
  const std::vector<headless::ShownBox>& Boxes() const { return headless::ShownBoxes(); }
  test::TestMachine machine_;
};

TEST_F(ExpandFilesTest, ExpandsAndCopiesPlainFiles) {
  EXPECT_EQ(
      ExpandFile(std::wstring(L"  ") + kSource + L" ", std::wstring(L" ") + kTarget + L" ", ShowErrors::Yes),
      18);
  EXPECT_EQ(machine_.ReadFile(kTarget), "ABCDEFGHABCDEFGHAB");
  for (const std::string plain : {"no header here", ""}) {
    machine_.WriteFile(kSource, plain);
    EXPECT_EQ(ExpandFile(kSource, kTarget, ShowErrors::Yes), static_cast<std::int32_t>(plain.size()));
    EXPECT_EQ(machine_.ReadFile(kTarget), plain);
  }
  EXPECT_TRUE(Boxes().empty());
}

// Whatever DOS error an open leaves, the user reads one of sixteen messages,
// one a code; all but the two about the machine itself name the file.
TEST_F(ExpandFilesTest, EveryOpenFailureHasAMessageOfItsOwn) {
  std::map<std::int32_t, std::wstring> messages;  // by code, without the file's name
  std::set<std::int32_t> named;
  for (platform::DosError error = 1; error <= 120; ++error) {
    for (const std::wstring failing : {kSource, kTarget}) {
      SCOPED_TRACE(testing::Message()
                   << "DOS error " << error << (failing == kSource ? " source" : " target"));
      const std::int32_t code = Both([&] { headless::InjectFailure("LzOpenFile", failing, error); });
      ASSERT_TRUE(code >= -16 && code <= -1) << code;
      ASSERT_EQ(Boxes().size(), 1u);
      EXPECT_EQ(Boxes()[0].title, L"ExpandFiles - Hata!");
      EXPECT_EQ(Boxes()[0].style, 0x1030u);
      std::wstring text = Boxes()[0].text;
      if (text.starts_with(L"'" + failing + L"'")) named.insert(code), text.erase(0, failing.size() + 2);
      EXPECT_EQ(messages.emplace(code, text).first->second, text) << "code " << code << " has two messages";
    }
  }
  std::set<std::wstring> texts;
  for (const auto& [code, text] : messages) texts.insert(text);
  EXPECT_EQ(messages.size(), 16u) << "every code is reached";
  EXPECT_EQ(texts.size(), 16u) << "two codes share a message";
  EXPECT_EQ(named.size(), 14u);
  // ReportFileError names the trimmed path and ignores codes outside the table.
  headless::ClearShownBoxes();
  ReportFileError(-1, L"  C:\\x.wa_  ");
  for (const std::int32_t code : {0, 1, -17, -100}) ReportFileError(code, L"C:\\x");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, L"'C:\\x.wa_' isimli dosya bulunamadı!");
}

// LZ32's copy errors come back times 100, each explained. Real open failures
// are wine_lz32_test's, and the install tests' through the headless platform.
TEST_F(ExpandFilesTest, CopyFailuresAreScaledAndExplained) {
  for (std::int32_t lzError = -1; lzError >= -8; --lzError) {
    EXPECT_EQ(Both([&] { headless::FailNextLzCopy(lzError); }), lzError * 100);
    ASSERT_EQ(Boxes().size(), 1u) << lzError;
    EXPECT_FALSE(Boxes()[0].text.empty());
    EXPECT_EQ(Boxes()[0].title, L"ExpandFiles - Hata!");
  }
  // Both handles were closed after the failures, the source also when the
  // destination could not be opened.
  EXPECT_EQ(Both([] {}, L"C:\\Nowhere\\Stop.wav"), -2);
  platform::LzOpenInfo info;
  EXPECT_EQ(platform::LzOpenFile(kSource, info, platform::kOfRead), 0);
}

}  // namespace
}  // namespace vxr
