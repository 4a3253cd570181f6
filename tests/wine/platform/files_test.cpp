// Files through the real Windows API (under Wine): the checks the headless
// machine passes too, then what only Windows has. The setup reading its pieces
// out of its own running executable, from the temporary folder Windows gives
// it, is proven by every installation in the e2e scripts.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/platform/files_checks.h"

namespace vxr::test {
namespace {

std::wstring ScratchRoot() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"vxr-files-" + std::to_wstring(GetCurrentProcessId());
}

const FilesUnderTest kFiles{
    ScratchRoot(), [](std::wstring_view path) { return std::filesystem::path(path); },
    [](const std::wstring& path) { ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN)); }};

// The scratch folder, fresh for each test and removed afterwards.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    ASSERT_TRUE(CreateDirectoryW(kFiles.root.c_str(), nullptr));
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(kFiles.root, ec);
  }
};

TEST_F(FilesTest, AsOnTheHeadlessMachineAndReadOnlyFilesAreOrdinaryFiles) {
  CheckExistence(kFiles);
  CheckFolders(kFiles);
  CheckRawFiles(kFiles);
  const std::wstring path = kFiles.root + L"\\readonly.txt";
  kFiles.put(path, "r", false);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(platform::NormalFileExists(path));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace vxr::test
