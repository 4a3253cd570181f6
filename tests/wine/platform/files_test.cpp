// Files, processes and system facts through the real Windows API (under Wine).
#include "platform/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/process.h"
#include "platform/system_info.h"

namespace {

// A fresh folder under the temporary directory, removed afterwards.
class Scratch {
 public:
  Scratch() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"vxr-files-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root_.c_str(), nullptr);
  }
  ~Scratch() { Remove(root_); }
  std::wstring operator/(const std::wstring& name) const { return root_ + L"\\" + name; }
  const std::wstring& Root() const { return root_; }
  void File(const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
    HANDLE file =
        CreateFileW((*this / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

 private:
  // The tests leave at most empty folders behind.
  static void Remove(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
      if (found.cFileName[0] == L'.') continue;
      const std::wstring path = dir + L"\\" + found.cFileName;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryW(dir.c_str());
  }
  std::wstring root_;
};

TEST(FilesTest, ExistenceMatchesFilesFoldersAndRootsButNoPatterns) {
  Scratch dir;
  dir.File(L"a.txt");
  dir.File(L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  dir.File(L"readonly.txt", FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(platform::PathExists(L"C:\\"));
  EXPECT_TRUE(platform::PathExists(L"C:"));
  EXPECT_TRUE(platform::PathExists(dir.Root()));
  EXPECT_TRUE(platform::PathExists(dir.Root() + L"\\")) << "a trailing backslash still names the folder";
  EXPECT_TRUE(platform::PathExists(dir / L"A.TXT")) << "names match without regard to case";
  EXPECT_FALSE(platform::PathExists(dir / L"missing"));
  EXPECT_FALSE(platform::PathExists(dir / L"*.txt")) << "wildcards are not expanded";
  EXPECT_FALSE(platform::PathExists(L""));

  EXPECT_TRUE(platform::NormalFileExists(dir / L"a.txt"));
  EXPECT_TRUE(platform::NormalFileExists(dir / L"readonly.txt"));
  EXPECT_FALSE(platform::NormalFileExists(dir / L"hidden.txt"));
  EXPECT_FALSE(platform::NormalFileExists(dir.Root())) << "a folder is no file";
  EXPECT_FALSE(platform::NormalFileExists(dir / L"?.txt"));
}

TEST(FilesTest, FoldersAreMadeAndRemovedOneLevelAtATime) {
  Scratch dir;
  EXPECT_EQ(platform::MakeDirectory(dir / L"x\\y"), platform::kErrorPathNotFound) << "the parent must exist";
  EXPECT_EQ(platform::MakeDirectory(dir / L"x"), platform::kErrorSuccess);
  EXPECT_EQ(platform::MakeDirectory(dir / L"x"), platform::kErrorAlreadyExists);
  EXPECT_EQ(platform::MakeDirectory(dir / L"x\\y"), platform::kErrorSuccess);
  EXPECT_NE(platform::RemoveEmptyDirectory(dir / L"x"), platform::kErrorSuccess) << "x still holds y";
  EXPECT_EQ(platform::RemoveEmptyDirectory(dir / L"x\\y"), platform::kErrorSuccess);
  EXPECT_EQ(platform::RemoveEmptyDirectory(dir / L"x"), platform::kErrorSuccess);
  EXPECT_FALSE(platform::PathExists(dir / L"x"));
}

TEST(FilesTest, DeletingByPatternTakesFilesOnly) {
  Scratch dir;
  dir.File(L"one.tmp");
  dir.File(L"two.tmp");
  dir.File(L"keep.txt");
  ASSERT_EQ(platform::MakeDirectory(dir / L"sub.tmp"), platform::kErrorSuccess);
  EXPECT_EQ(platform::DeleteMatchingFiles(dir / L"*.tmp"), platform::kErrorSuccess);
  EXPECT_FALSE(platform::PathExists(dir / L"one.tmp"));
  EXPECT_FALSE(platform::PathExists(dir / L"two.tmp"));
  EXPECT_TRUE(platform::PathExists(dir / L"keep.txt"));
  EXPECT_TRUE(platform::PathExists(dir / L"sub.tmp")) << "folders are left alone";
  EXPECT_EQ(platform::DeleteMatchingFiles(dir / L"*.tmp"), platform::kErrorFileNotFound);
  EXPECT_EQ(platform::DeleteMatchingFiles(dir / L"nowhere\\*.*"), platform::kErrorPathNotFound);
  EXPECT_EQ(platform::DeleteMatchingFiles(dir / L"*.*"), platform::kErrorSuccess);
  EXPECT_FALSE(platform::PathExists(dir / L"keep.txt"));
}

TEST(FilesTest, RunningExecutableIsSplitIntoFolderAndBaseName) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const auto running = platform::GetRunningExecutable();
  EXPECT_EQ(running.baseName, L"platform_win32_tests");
  EXPECT_EQ(running.directory + L"\\" + running.baseName + L".exe", std::wstring(path));
}

TEST(SystemInfoTest, PathsComeAsTheCallsLeaveThem) {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  const std::wstring expected(temp, temp + length);
  EXPECT_EQ(platform::TempPath(145), expected);
  EXPECT_EQ(platform::TempPath(length), L"") << "a buffer without room for the terminator is left empty";
  EXPECT_EQ(platform::TempPath(length + 1), expected);

  char windows[MAX_PATH];
  const UINT windowsLength = GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(platform::WindowsDirectory(145), std::wstring(windows, windows + windowsLength));
  EXPECT_EQ(platform::WindowsDirectory(2), L"");
}

TEST(SystemInfoTest, ScreenFacts) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(platform::TwipsPerPixelX(), 1440 / dpi);
  EXPECT_EQ(platform::TwipsPerPixelY(), 1440 / dpi);
  const auto area = platform::WorkArea();
  EXPECT_GT(area.right - area.left, 0);
  EXPECT_GT(area.bottom - area.top, 0);
  EXPECT_LE(area.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST(ProcessTest, StartsWithoutWaitingAndReportsWhatCannotStart) {
  EXPECT_TRUE(platform::StartProgram(L"cmd.exe /c exit 3"));
  EXPECT_FALSE(platform::StartProgram(L"C:\\no such folder\\nothing.exe"));
}

}  // namespace
