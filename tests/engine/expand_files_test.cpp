#include "engine/expand_files.h"

#include <gtest/gtest.h>

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

TEST_F(ExpandFilesTest, EveryOpenFailureHasItsMessage) {
  const struct {
    platform::DosError error;
    std::int32_t code;
    std::wstring text;
  } rows[] = {
      {2, -1, L"' isimli dosya bulunamadı!"},
      {3, -2, L"' isimli dosya için yol geçersiz!"},
      {4, -3, L"Çok sayıda açık dosya var!"},
      {5, -4, L"' isimli dosyaya erişim engellendi!"},
      {8, -5, L"Bellek Yetersiz!"},
      {11, -6, L"' isimli dosyanın biçimi geçersiz!"},
      {15, -7, L"' isimli dosya için verilen sürücü geçersiz!"},
      {19, -8, L"' isimli dosyaya yazılamıyor!"},
      {21, -9, L"' isimli dosyanın bulunduğu sürücü hazır değil!"},
      {23, -10, L"' isimli dosyada CRC hatası!"},
      {27, -11, L"' isimli dosyanın olduğu sector bulunamadı!"},
      {32, -12, L"' isimli dosya kullanımda!"},
      {54, -13, L"' isimli dosyanın bulunduğu bilgisayar okunamıyor!"},
      {65, -14, L"' isimli dosyanın bulunduğu bilgisayara erişim engellendi!"},
      {80, -15, L"' isimli dosya zaten var!"},
      {1, -16, L"' isimli dosya ile ilgili bilinmeyen hata!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    for (const wchar_t* failing : {kSource, kTarget}) {
      const bool named = row.code != -3 && row.code != -5;
      const std::wstring expected = named ? L"'" + std::wstring(failing) + row.text : row.text;

      headless::ClearShownBoxes();
      headless::InjectFailure("LzOpenFile", failing, row.error);
      EXPECT_EQ(ExpandFile(kSource, kTarget, true), row.code);
      ASSERT_EQ(Boxes().size(), 1u);
      EXPECT_EQ(Boxes()[0].text, expected);
      EXPECT_EQ(Boxes()[0].title, L"ExpandFiles - Hata!");
      EXPECT_EQ(Boxes()[0].style, 0x1030u);

      headless::ClearShownBoxes();
      headless::InjectFailure("LzOpenFile", failing, row.error);
      EXPECT_EQ(ExpandFile(kSource, kTarget, false), row.code);
      EXPECT_TRUE(Boxes().empty());
    }
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

TEST_F(ExpandFilesTest, CopyFailuresAreScaledAndExplained) {
  const struct {
    std::int32_t lzError, result;
    std::wstring text;
  } rows[] = {
      {-1, -100, L"Kaynak dosya handle numarası yanlış!"},
      {-2, -200, L"Hedef dosya handle numarası yanlış!"},
      {-3, -300, L"Kaynak dosya formatı geçersiz!"},
      {-4, -400, L"Hedef dosyaya yazılamıyor!"},
      {-5, -500, L"Bellek Yetersiz!"},
      {-6, -600, L"Bellek Yetersiz!"},
      {-7, -700, L"Kaynak dosya formatı geçersiz!"},
      {-8, -800, L"Kaynak dosyanın sıkıştırılması için kullanılmış olan algortima desteklenmiyor!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.result);
    headless::ClearShownBoxes();
    headless::FailNextLzCopy(row.lzError);
    EXPECT_EQ(ExpandFile(kSource, kTarget, true), row.result);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, row.text);
    EXPECT_EQ(Boxes()[0].title, L"ExpandFiles - Hata!");
    headless::ClearShownBoxes();
    headless::FailNextLzCopy(row.lzError);
    EXPECT_EQ(ExpandFile(kSource, kTarget, false), row.result);
    EXPECT_TRUE(Boxes().empty());
  }
  // A full disk is a real write failure: the part that fitted stays.
  headless::ClearShownBoxes();
  headless::FillDiskAfter(5);
  EXPECT_EQ(ExpandFile(kSource, kTarget, true), -400);
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
