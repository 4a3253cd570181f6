// Checks of the file services that must hold alike on the headless machine
// and on Windows (under Wine): existence, folders, deletion by pattern and raw
// files, with Windows' own error codes. Each backend only says where its
// scratch folder is and how files are reached behind the platform's back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/raw_file.h"

namespace vxr::test {

struct FilesUnderTest {
  std::wstring root;  // an empty folder of the test's own, on drive C:
  // Where a Windows path lies for the standard library, and how to hide a file.
  std::filesystem::path (*host)(std::wstring_view path);
  void (*hide)(const std::wstring& path);

  void put(const std::wstring& path, std::string_view bytes, bool hidden) const {
    std::ofstream(host(path), std::ios::binary).write(bytes.data(), std::ssize(bytes));
    if (hidden) hide(path);
  }
  // The file's bytes; nothing when there is no such file.
  std::optional<std::string> read(const std::wstring& path) const {
    std::ifstream in(host(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

inline void CheckExistence(const FilesUnderTest& files) {
  using platform::NormalFileExists;
  using platform::PathExists;
  const std::wstring dir = files.root;
  files.put(dir + L"\\a.txt", "a", false);
  files.put(dir + L"\\hidden.txt", "h", true);
  EXPECT_TRUE(PathExists(L"C:\\"));
  EXPECT_TRUE(PathExists(L"C:"));
  EXPECT_TRUE(PathExists(dir));
  EXPECT_TRUE(PathExists(dir + L"\\")) << "a trailing backslash still names the folder";
  EXPECT_TRUE(PathExists(dir + L"\\A.TXT")) << "names match without regard to case";
  EXPECT_TRUE(PathExists(dir + L"\\hidden.txt"));
  for (const std::wstring& absent : {dir + L"\\missing", dir + L"\\*.txt", dir + L"\\?.txt", std::wstring()})
    EXPECT_FALSE(PathExists(absent)) << "wildcards are not expanded";

  EXPECT_TRUE(NormalFileExists(dir + L"\\a.txt"));
  EXPECT_FALSE(NormalFileExists(dir + L"\\hidden.txt"));
  EXPECT_FALSE(NormalFileExists(dir)) << "a folder is no file";
  EXPECT_FALSE(NormalFileExists(dir + L"\\?.txt"));
}

inline void CheckFolders(const FilesUnderTest& files) {
  using namespace platform;
  const std::wstring x = files.root + L"\\x", y = x + L"\\y";
  EXPECT_EQ(MakeDirectory(y), kErrorPathNotFound) << "the parent must exist";
  EXPECT_EQ(MakeDirectory(x), kErrorSuccess);
  EXPECT_EQ(MakeDirectory(x), kErrorAlreadyExists);
  EXPECT_EQ(MakeDirectory(y), kErrorSuccess);
  EXPECT_EQ(RemoveEmptyDirectory(x), 145u) << "ERROR_DIR_NOT_EMPTY: x still holds y";
  EXPECT_EQ(RemoveEmptyDirectory(y), kErrorSuccess);
  EXPECT_EQ(RemoveEmptyDirectory(x), kErrorSuccess);
  EXPECT_EQ(RemoveEmptyDirectory(x), kErrorFileNotFound);
  EXPECT_FALSE(PathExists(x));

  // One file at a time; a move replaces a file, hidden or not, but never a folder.
  const std::wstring dir = files.root, kept = dir + L"\\kept.wav", made = dir + L"\\made.tmp";
  files.put(kept, "old", true);
  files.put(made, "new", false);
  EXPECT_TRUE(FileExists(kept));
  EXPECT_FALSE(FileExists(dir)) << "a folder is no file";
  EXPECT_EQ(MoveReplacing(made, kept), kErrorSuccess);
  EXPECT_EQ(files.read(kept), "new");
  EXPECT_FALSE(files.read(made));
  EXPECT_EQ(MoveReplacing(made, kept), kErrorFileNotFound);
  ASSERT_EQ(MakeDirectory(x), kErrorSuccess);
  EXPECT_EQ(MoveReplacing(kept, x), kErrorAccessDenied);
  EXPECT_EQ(files.read(kept), "new");
  EXPECT_EQ(DeleteOneFile(kept), kErrorSuccess);
  EXPECT_EQ(DeleteOneFile(kept), kErrorFileNotFound);
  EXPECT_EQ(RemoveEmptyDirectory(x), kErrorSuccess);
}

inline std::string ReadAll(platform::RawFile& file, std::uint64_t position, std::size_t count,
                           platform::DosError expected = platform::kErrorSuccess) {
  std::vector<std::uint8_t> bytes(count);
  EXPECT_EQ(file.ReadAt(position, bytes), expected) << "reading " << count << " at " << position;
  return std::string(bytes.begin(), bytes.end());
}

// What the extraction relies on: a staging file left from before, longer or
// hidden, is replaced by exactly what is written; reads at a position; the
// package may be read twice at once; failures carry Windows' codes.
inline void CheckRawFiles(const FilesUnderTest& files) {
  using namespace platform;
  const std::string piece = "SZDD piece";
  const std::vector<std::uint8_t> bytes(piece.begin(), piece.end());
  for (const bool hidden : {false, true}) {
    const std::wstring staging = files.root + (hidden ? L"\\hidden.wa_" : L"\\longer.wa_");
    files.put(staging, std::string(5000, 'x'), hidden);
    RawFile out;
    ASSERT_EQ(out.OpenForWriting(staging), kErrorSuccess) << hidden;
    EXPECT_EQ(out.Write(std::span(bytes).first(4)), kErrorSuccess);
    EXPECT_EQ(out.Write(std::span(bytes).subspan(4)), kErrorSuccess) << "writes append";
    out.Close();
    EXPECT_EQ(files.read(staging), piece) << hidden;
  }

  const std::wstring path = files.root + L"\\longer.wa_";
  RawFile first, second;
  ASSERT_EQ(first.OpenForReading(path), kErrorSuccess);
  ASSERT_EQ(second.OpenForReading(path), kErrorSuccess) << "others may read at the same time";
  std::uint64_t length = 0;
  EXPECT_EQ(first.Length(length), kErrorSuccess);
  EXPECT_EQ(length, piece.size());
  EXPECT_EQ(ReadAll(second, 5, 5), "piece");
  EXPECT_EQ(ReadAll(first, 0, 4), "SZDD");
  ReadAll(first, 6, 5, kErrorHandleEof);

  // A new file, and only that: anything of the name is refused, not emptied.
  RawFile fresh;
  EXPECT_EQ(fresh.CreateNew(path), kErrorFileExists);
  EXPECT_EQ(files.read(path), piece);
  EXPECT_EQ(fresh.CreateNew(files.root + L"\\new.wa_"), kErrorSuccess);

  RawFile failing;
  EXPECT_EQ(failing.OpenForReading(files.root + L"\\none.wa_"), kErrorFileNotFound);
  EXPECT_EQ(failing.OpenForReading(files.root + L"\\nowhere\\x.wa_"), kErrorPathNotFound);
  EXPECT_EQ(failing.OpenForWriting(files.root + L"\\nowhere\\x.wa_"), kErrorPathNotFound);
  EXPECT_EQ(failing.OpenForReading(files.root), kErrorAccessDenied) << "a folder";
  EXPECT_EQ(failing.OpenForWriting(files.root), kErrorAccessDenied) << "a folder";
  EXPECT_FALSE(failing.IsOpen());
}

}  // namespace vxr::test
