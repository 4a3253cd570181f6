// The temporary copy's command line, and the folder the uninstaller works on.
#include "tools/demo/uninstaller/launch.h"

#include <gtest/gtest.h>

namespace vxr::uninstaller {
namespace {

TEST(Launch, TheCopyReadsBackWhatTheOriginalGaveIt) {
  const CopyArguments cases[] = {
      {0x1F4, L"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe"},
      {1, L"D:\\Kayıt Programları\\Ekran Kaydedici\\Uninstall VXR.exe"},
      {UINTPTR_MAX, L"\\\\server\\share\\VXR\\Uninstall VXR.exe"},
  };
  for (const auto& c : cases) {
    const std::wstring line = CopyCommandLine(L"C:\\Users\\Test\\AppData\\Local\\Temp\\vxu1A2B.tmp", c);
    SCOPED_TRACE(::testing::PrintToString(line));
    const auto parsed = ParseCopyArguments(line);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->originalProcess, c.originalProcess);
    EXPECT_EQ(parsed->originalPath, c.originalPath);
  }
}

TEST(Launch, AnyOtherCommandLineIsTheOriginalsOwn) {
  for (const std::wstring_view line : {
           L"\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"",
           L"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe",
           L"\"C:\\t\\vxu1.tmp\" /original 12",
           L"\"C:\\t\\vxu1.tmp\" /original 12 \"\"",
           L"\"C:\\t\\vxu1.tmp\" /other 12 \"C:\\x\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 0 \"C:\\x\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 12x \"C:\\x\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 99999999999999999999 \"C:\\x\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 12 \"C:\\x\\Uninstall VXR.exe\" more",
       }) {
    EXPECT_FALSE(ParseCopyArguments(line)) << ::testing::PrintToString(std::wstring(line));
  }
}

TEST(Launch, FolderOfAPath) {
  const std::pair<std::wstring_view, std::wstring_view> cases[] = {
      {L"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe", L"C:\\Program Files\\Screen Recorder"},
      {L"C:\\Uninstall VXR.exe", L"C:\\"},
      {L"\\\\server\\share\\Uninstall VXR.exe", L"\\\\server\\share"},
      {L"Uninstall VXR.exe", L""},
  };
  for (const auto& [path, folder] : cases)
    EXPECT_EQ(FolderOf(path), folder) << ::testing::PrintToString(std::wstring(path));
}

}  // namespace
}  // namespace vxr::uninstaller
