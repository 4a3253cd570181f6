#include "engine/expand_files.h"

#include <iterator>
#include <limits>
#include <string>

#include "common/text.h"
#include "engine/file_journal.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/lz.h"

namespace vxr {
namespace {

// The DOS errors with a message of their own, in the order of their codes -1 to -15.
constexpr std::int16_t kKnownOpenErrors[] = {2, 3, 4, 5, 8, 11, 15, 19, 21, 23, 27, 32, 54, 65, 80};

// The text after "'" + name for codes -1 to -16; empty where the message names no file.
constexpr const wchar_t* kFileSuffixes[] = {
    L"' isimli dosya bulunamadı!",
    L"' isimli dosya için yol geçersiz!",
    nullptr,  // -3: "Çok sayıda açık dosya var!"
    L"' isimli dosyaya erişim engellendi!",
    nullptr,  // -5: "Bellek Yetersiz!"
    L"' isimli dosyanın biçimi geçersiz!",
    L"' isimli dosya için verilen sürücü geçersiz!",
    L"' isimli dosyaya yazılamıyor!",
    L"' isimli dosyanın bulunduğu sürücü hazır değil!",
    L"' isimli dosyada CRC hatası!",
    L"' isimli dosyanın olduğu sector bulunamadı!",
    L"' isimli dosya kullanımda!",
    L"' isimli dosyanın bulunduğu bilgisayar okunamıyor!",
    L"' isimli dosyanın bulunduğu bilgisayara erişim engellendi!",
    L"' isimli dosya zaten var!",
    L"' isimli dosya ile ilgili bilinmeyen hata!",
};
static_assert(std::size(kFileSuffixes) == 16);
static_assert(std::size(kKnownOpenErrors) == 15);

void Show(std::wstring_view text) { platform::ShowMessageBox(text, platform::kBoxAlert, kExpandFilesTitle); }

// The message for ExpandFile's result after a failed copy, or nullptr.
const wchar_t* CopyMessage(std::int32_t result) {
  switch (result) {
    case -100: return L"Kaynak dosya handle numarası yanlış!";
    case -200: return L"Hedef dosya handle numarası yanlış!";
    case -300: return L"Kaynak dosya formatı geçersiz!";
    case -500: return L"Bellek Yetersiz!";
    case -800: return L"Kaynak dosyanın sıkıştırılması için kullanılmış olan algortima desteklenmiyor!";
    // LZ32's codes without a text of their own: a failed write is what a full
    // disk gives, and the user should hear of it rather than find a short file.
    case -400: return L"Hedef dosyaya yazılamıyor!";
    case -600: return L"Bellek Yetersiz!";
    case -700: return L"Kaynak dosya formatı geçersiz!";
    default: return nullptr;
  }
}

// Gives the whole new file the destination's name. An earlier file is first
// moved aside, which is also what finds it in use (a file open without
// leave to delete it cannot be renamed), and comes back if the new one cannot
// take its place. With a journal it stays aside until the installation ends;
// without, it goes at once. 0, or the file error code of the move that failed.
std::int32_t PutInPlace(const std::wstring& newFile, const std::wstring& destination, FileJournal* journal) {
  auto code = [](platform::DosError error) { return MapOpenError(-1, static_cast<std::int16_t>(error)); };
  const bool earlier = platform::FileExists(destination);
  const std::wstring kept = FileJournal::KeptName(destination);
  if (earlier) {
    if (const auto error = platform::MoveReplacing(destination, kept)) return code(error);
  }
  if (const auto error = platform::MoveReplacing(newFile, destination)) {
    if (earlier) platform::MoveReplacing(kept, destination);
    return code(error);
  }
  if (!journal) {
    if (earlier) platform::DeleteOneFile(kept);
  } else if (earlier) {
    journal->ReplacedFile(destination);
  } else {
    journal->AddedFile(destination);
  }
  return 0;
}

}  // namespace

std::int32_t MapOpenError(std::int32_t handle, std::int16_t openErrorCode) {
  if (handle >= 0) return 0;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(std::size(kKnownOpenErrors)); ++i) {
    if (kKnownOpenErrors[i] == openErrorCode) return -(i + 1);
  }
  return -16;
}

void ReportFileError(std::int32_t code, std::wstring_view filePath) {
  if (code == -3) return Show(L"Çok sayıda açık dosya var!");
  if (code == -5) return Show(L"Bellek Yetersiz!");
  if (code < -16 || code > -1) return;
  std::wstring text = L"'";
  text += Trim(filePath);
  text += kFileSuffixes[-code - 1];
  Show(text);
}

std::int32_t ExpandFile(std::wstring_view sourcePath, std::wstring_view destinationPath, ShowErrors show,
                        FileJournal* journal) {
  const bool showErrors = show == ShowErrors::Yes;
  platform::LzOpenInfo sourceInfo;
  const std::int32_t source = platform::LzOpenFile(Trim(sourcePath), sourceInfo, platform::kOfRead);
  std::int32_t r = MapOpenError(source, sourceInfo.errorCode);
  if (r < 0) {
    if (showErrors) ReportFileError(r, sourcePath);
    return r;
  }

  // The expansion goes into a new file; what the messages name is the destination.
  const std::wstring destination(Trim(destinationPath));
  const std::wstring newFile = destination + L".vxr-new";
  platform::LzOpenInfo destinationInfo;
  const std::int32_t target = platform::LzOpenFile(newFile, destinationInfo, platform::kOfCreate);
  r = MapOpenError(target, destinationInfo.errorCode);
  if (r < 0) {
    if (showErrors) ReportFileError(r, destination);
    platform::LzClose(source);
    return r;
  }

  const std::int32_t n = platform::LzCopy(source, target);
  if (n < 0) {
    // LZ32's codes run from -1 to -8; anything stranger is held inside 32 bits.
    const std::int64_t scaled = std::int64_t{n} * 100;
    r = scaled < std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::min()
                                                          : static_cast<std::int32_t>(scaled);
    if (showErrors) {
      if (const wchar_t* message = CopyMessage(r)) Show(message);
    }
  }
  platform::LzClose(source);
  platform::LzClose(target);
  // 0 is a success too: nothing to write.
  if (r >= 0) r = PutInPlace(newFile, destination, journal);
  if (r < 0) {
    platform::DeleteOneFile(newFile);
    if (showErrors && n >= 0) ReportFileError(r, destination);
    return r;
  }
  return n;
}

}  // namespace vxr
