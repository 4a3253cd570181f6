// The temporary copy's command line, and the folder the uninstaller works on.
// (An installation's own path, through both: tests/uninstaller/wine/uninstall_test.sh.)
#include "tools/demo/uninstaller/launch.h"

#include <gtest/gtest.h>

namespace vxr::uninstaller {
namespace {

TEST(Launch, TheCopyReadsBackWhatTheOriginalGaveItAndNothingElse) {
  for (const CopyArguments& c :
       {CopyArguments{1, L"D:\\Kayıt Programları\\Ekran Kaydedici\\Uninstall VXR.exe"},
        CopyArguments{UINTPTR_MAX, L"\\\\server\\share\\VXR\\Uninstall VXR.exe"}}) {
    const auto parsed = ParseCopyArguments(CopyCommandLine(L"C:\\Temp\\vxu1A2B.tmp", c));
    ASSERT_TRUE(parsed) << ::testing::PrintToString(c.originalPath);
    EXPECT_EQ(parsed->originalProcess, c.originalProcess);
    EXPECT_EQ(parsed->originalPath, c.originalPath);
  }
  // The original's own command lines, and damaged copies' ones.
  for (const std::wstring_view line : {
           L"\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 12",
           L"\"C:\\t\\vxu1.tmp\" /original 12 \"\"",
           L"\"C:\\t\\vxu1.tmp\" /original 0 \"C:\\x\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 99999999999999999999 \"C:\\x\\Uninstall VXR.exe\"",
           L"\"C:\\t\\vxu1.tmp\" /original 12 \"C:\\x\\Uninstall VXR.exe\" more",
       })
    EXPECT_FALSE(ParseCopyArguments(line)) << ::testing::PrintToString(std::wstring(line));

  EXPECT_EQ(FolderOf(L"C:\\Uninstall VXR.exe"), L"C:\\");
  EXPECT_EQ(FolderOf(L"\\\\server\\share\\Uninstall VXR.exe"), L"\\\\server\\share");
  EXPECT_EQ(FolderOf(L"Uninstall VXR.exe"), L"");
}

}  // namespace
}  // namespace vxr::uninstaller
