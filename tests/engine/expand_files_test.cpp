#include "engine/expand_files.h"

#include <gtest/gtest.h>

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

// "ABCDEFGH" then a match of 10 bytes back into it: 18 bytes expanded.
std::string SmallSzdd() {
  std::string file(szdd::kSignature.begin(), szdd::kSignature.end());
  file += std::string{'A', 'v', 18, 0, 0, 0};
  file += '\xFF';
  file += "ABCDEFGH";
  file += std::string{'\x00', '\xF0', '\xF7'};  // slot 0xFF0 = 'A', 7 + 3 bytes
  return file;
}

class ExpandFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolders(L"C:\\WINDOWS\\TEMP\\VXRTMP");
    machine_.MakeFolders(L"C:\\Program Files\\Screen Recorder");
    machine_.WriteFile(kSource, SmallSzdd());
  }
  const std::vector<headless::ShownBox>& Boxes() const { return headless::ShownBoxes(); }
  test::TestMachine machine_;
};

TEST_F(ExpandFilesTest, ExpandsAndCopiesPlainFiles) {
  EXPECT_EQ(ExpandFile(L"  C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_ ",
                       L" C:\\Program Files\\Screen Recorder\\Stop.wav ", true),
            18);
  EXPECT_EQ(machine_.ReadFile(kTarget), "ABCDEFGHABCDEFGHAB");
  machine_.WriteFile(kSource, "no header here");
  EXPECT_EQ(ExpandFile(kSource, kTarget, true), 14);
  EXPECT_EQ(machine_.ReadFile(kTarget), "no header here");
  machine_.WriteFile(kSource, "");
  EXPECT_EQ(ExpandFile(kSource, kTarget, true), 0);
  EXPECT_EQ(machine_.ReadFile(kTarget), "");
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
                   << "DOS error " << error
                   << (failing == kSource ? " opening the source" : " opening the destination"));
      headless::ClearShownBoxes();
      headless::InjectFailure("LzOpenFile", failing, error);
      const std::int32_t code = ExpandFile(kSource, kTarget, true);
      ASSERT_TRUE(code >= -16 && code <= -1) << code;
      ASSERT_EQ(Boxes().size(), 1u);
      EXPECT_EQ(Boxes()[0].title, L"ExpandFiles - Hata!");
      EXPECT_EQ(Boxes()[0].style, 0x1030u);
      std::wstring text = Boxes()[0].text;
      if (text.starts_with(L"'" + failing + L"'")) {
        named.insert(code);
        text.erase(0, failing.size() + 2);
      }
      const auto [known, added] = messages.emplace(code, text);
      EXPECT_EQ(known->second, text) << "code " << code << " has two messages";

      headless::ClearShownBoxes();
      headless::InjectFailure("LzOpenFile", failing, error);
      EXPECT_EQ(ExpandFile(kSource, kTarget, false), code);
      EXPECT_TRUE(Boxes().empty());
    }
  }
  EXPECT_EQ(messages.size(), 16u) << "every code is reached";
  std::set<std::wstring> texts;
  for (const auto& [code, text] : messages) texts.insert(text);
  EXPECT_EQ(texts.size(), 16u) << "two codes share a message";
  EXPECT_EQ(named.size(), 14u);

  // The first, the last known and an unknown error, as the user reads them.
  const std::pair<platform::DosError, std::wstring> rows[] = {
      {2, L"'C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_' isimli dosya bulunamadı!"},
      {80, L"'C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_' isimli dosya zaten var!"},
      {1, L"'C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_' isimli dosya ile ilgili bilinmeyen hata!"},
  };
  for (const auto& [error, text] : rows) {
    headless::ClearShownBoxes();
    headless::InjectFailure("LzOpenFile", kSource, error);
    ExpandFile(kSource, kTarget, true);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, text);
  }
  // ReportFileError names the trimmed path and ignores codes outside the table.
  headless::ClearShownBoxes();
  ReportFileError(-1, L"  C:\\x.wa_  ");
  for (const std::int32_t code : {0, 1, -17, -100}) ReportFileError(code, L"C:\\x");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, L"'C:\\x.wa_' isimli dosya bulunamadı!");
}

TEST_F(ExpandFilesTest, RealOpenFailures) {
  // A missing source: -1, and no destination is made.
  EXPECT_EQ(ExpandFile(L"C:\\WINDOWS\\TEMP\\VXRTMP\\none.wa_", kTarget, true), -1);
  EXPECT_FALSE(std::filesystem::exists(machine_.Host(kTarget)));
  // A destination in a folder that does not exist: -2, naming the destination,
  // and the source handle has been given back (the next open reuses it).
  headless::ClearShownBoxes();
  EXPECT_EQ(ExpandFile(kSource, L"C:\\Nowhere\\Stop.wav", true), -2);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, L"'C:\\Nowhere\\Stop.wav' isimli dosya için yol geçersiz!");
  platform::LzOpenInfo info;
  const auto handle = platform::LzOpenFile(kSource, info, platform::kOfRead);
  EXPECT_EQ(handle, 0);
  platform::LzClose(handle);

  // As LZ32 does, a name that fails is tried again in its compressed form, and
  // that attempt's error counts: "Stop.wav" finds "Stop.wa_".
  EXPECT_EQ(ExpandFile(L"C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wav", kTarget, false), 18);
  machine_.MakeFolders(L"C:\\WINDOWS\\TEMP\\VXRTMP\\Folder.wa_");
  EXPECT_EQ(ExpandFile(kSource, L"C:\\WINDOWS\\TEMP\\VXRTMP\\Folder.wa_", false), -4);
}

// LZ32's copy errors come back times 100, each explained.
TEST_F(ExpandFilesTest, CopyFailuresAreScaledAndExplained) {
  for (std::int32_t lzError = -1; lzError >= -8; --lzError) {
    SCOPED_TRACE(lzError);
    headless::ClearShownBoxes();
    headless::FailNextLzCopy(lzError);
    EXPECT_EQ(ExpandFile(kSource, kTarget, true), lzError * 100);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_FALSE(Boxes()[0].text.empty());
    EXPECT_EQ(Boxes()[0].title, L"ExpandFiles - Hata!");
    headless::ClearShownBoxes();
    headless::FailNextLzCopy(lzError);
    EXPECT_EQ(ExpandFile(kSource, kTarget, false), lzError * 100);
    EXPECT_TRUE(Boxes().empty());
  }
  // A full disk is a real write failure: the part that fitted stays.
  headless::ClearShownBoxes();
  headless::FillDiskAfter(5);
  EXPECT_EQ(ExpandFile(kSource, kTarget, true), -400);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, L"Hedef dosyaya yazılamıyor!");
  EXPECT_EQ(machine_.ReadFile(kTarget), "ABCDE");
  // Both handles were closed after the failure.
  platform::LzOpenInfo info;
  EXPECT_EQ(platform::LzOpenFile(kSource, info, platform::kOfRead), 0);
}

TEST_F(ExpandFilesTest, LzServiceRefusesBadHandles) {
  platform::LzOpenInfo info;
  const auto source = platform::LzOpenFile(kSource, info, platform::kOfRead);
  const auto target = platform::LzOpenFile(kTarget, info, platform::kOfCreate);
  EXPECT_EQ(platform::LzCopy(-1, target), -1);
  EXPECT_EQ(platform::LzCopy(99, target), -1);
  EXPECT_EQ(platform::LzCopy(source, 99), -2);
  EXPECT_EQ(platform::LzCopy(source, target), 18);
  platform::LzClose(source);
  platform::LzClose(target);
  platform::LzClose(source);  // twice is harmless
}

}  // namespace
}  // namespace vxr
