// Under Wine's LZ32 and expand.exe: ExpandFile and our expander agree on the
// corpus (compressed by mscompress and by us) and on malformed files; a real
// file system's failures reach their codes (a full disk's, through the whole
// setup: install_test.sh damaged). wine_lz32.sh runs it twice:
// `--write DIR` writes the corpus for mscompress, then `DIR` checks.
#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <cstdio>

#include "codec/szdd_expander.h"
#include "codec/szdd_format.h"
#include "engine/expand_files.h"
#include "tests/support/corpus.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

fs::path g_corpus;  // the originals and, beside them, mscompress's name + "_"
fs::path g_work;

fs::path SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return fs::path(std::wstring(folder, n));
}

std::vector<test::CorpusFile> Corpus() { return test::MakeCorpus(SystemFolder()); }

// One file through ExpandFile (LZ32) and our expander alike; the bytes LZ32 wrote.
Bytes ExpandAlike(const fs::path& source) {
  const fs::path target = g_work / "out.bin";
  std::error_code ec;
  fs::remove(target, ec);
  const std::int32_t real = ExpandFile(source.wstring(), target.wstring(), ShowErrors::No);
  Bytes ours;
  const std::int32_t mine = szdd::ExpandBuffer(test::ReadFile(source), ours);
  EXPECT_EQ(real, mine < 0 ? mine * 100 : mine) << "LZ32 against ours";
  Bytes written = test::ReadFile(target);
  EXPECT_TRUE(written == ours) << "LZ32 wrote " << written.size() << " bytes, ours " << ours.size();
  return written;
}

Bytes ExpandExe(const fs::path& source) {
  const fs::path target = g_work / "expand.out";
  auto quoted = [](const fs::path& p) { return L"\"" + p.wstring() + L"\""; };
  EXPECT_EQ(_wspawnl(_P_WAIT, (SystemFolder() / "expand.exe").c_str(), L"expand.exe", quoted(source).c_str(),
                     quoted(target).c_str(), nullptr),
            0)
      << "expand.exe";
  return test::ReadFile(target);
}

TEST(Lz32, CorpusComesBackThroughLz32AndExpandExe) {
  const auto files = Corpus();
  ASSERT_GE(files.size(), 15u) << "PE files missing from " << SystemFolder().string();
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    if (file.bytes.size() >= test::kMsCompressMinimum) {
      EXPECT_TRUE(ExpandAlike(g_corpus / (file.name + "_")) == file.bytes) << "mscompress's file";
    }
    const auto packed = pack::CompressSzdd(file.bytes, pack::MissingChar(file.name));
    ASSERT_TRUE(packed);
    const fs::path ours = g_work / pack::StoredName(file.name);
    test::WriteFile(ours, *packed);
    EXPECT_TRUE(ExpandAlike(ours) == file.bytes) << "our compressor's file";
    EXPECT_TRUE(ExpandExe(ours) == file.bytes) << "expand.exe";
  }
}

TEST(Lz32, MalformedFilesExpandAlike) {
  const Bytes good = test::ReadFile(g_corpus / "sound.wav_");
  ASSERT_GT(good.size(), 1000u);
  auto prefix = [&](std::size_t n) {
    return Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
  };
  std::vector<Bytes> cases = {{}, prefix(good.size() - 1)};
  for (const std::size_t n : {1u, 2u, 7u, 8u, 9u, 10u, 12u, 13u, 14u, 15u, 16u, 17u, 100u, 1001u})
    cases.push_back(prefix(n));
  auto changed = [&](std::size_t at, int count, std::uint32_t value) {
    Bytes bytes = good;
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
  };
  for (const std::uint32_t declared : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu})
    cases.push_back(changed(szdd::kOffsetExpandedSize, 4, declared));
  cases.push_back(good);
  for (int i = 0; i < 300; ++i) cases.back().push_back(static_cast<std::uint8_t>(i * 91));  // a tail
  // Matches only, some naming the writer's own slot, and a cut match at the end.
  cases.push_back(prefix(14));
  for (int g = 0; g < 600; ++g) {
    cases.back().push_back(static_cast<std::uint8_t>(g * 37));
    for (int i = 0; i < 8; ++i)
      cases.back().insert(cases.back().end(), {std::uint8_t(g * 13 + i), std::uint8_t(0xF0 + i)});
  }
  cases.back().insert(cases.back().end(), {0x00, 0x12});

  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + ", " + std::to_string(cases[i].size()) + " bytes");
    test::WriteFile(g_work / "case.bi_", cases[i]);
    ExpandAlike(g_work / "case.bi_");
  }
}

TEST(Lz32, FailuresReachTheirCodes) {
  const std::wstring source = (g_corpus / "beep.wav_").wstring();
  const std::wstring work = g_work.wstring();
  const std::wstring target = work + L"\\beep.wav";
  EXPECT_EQ(ExpandFile(work + L"\\none.wa_", target, ShowErrors::No), -1) << "missing source";
  EXPECT_EQ(ExpandFile(source, work + L"\\nowhere\\beep.wav", ShowErrors::No), -2) << "missing folder";

  // LZ32 retries a failed open with the compressed form of the name (last
  // character "_"), and reports that second attempt's error: only names that
  // already end in "_" keep their own error.
  const std::wstring folder = work + L"\\folder.wa_";
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_EQ(ExpandFile(source, folder, ShowErrors::No), -4) << "a folder as destination";
  const auto length = static_cast<std::int32_t>(test::ReadFile(g_corpus / "beep.wav").size());
  ASSERT_TRUE(CopyFileW(source.c_str(), (work + L"\\retry.wa_").c_str(), FALSE));
  EXPECT_EQ(ExpandFile(work + L"\\retry.wav", target, ShowErrors::No), length) << "retry.wav finds retry.wa_";

  // A file someone holds open without sharing, as source and as destination.
  const std::wstring heldPath = work + L"\\held.wa_";
  HANDLE held = CreateFileW(heldPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ExpandFile(heldPath, target, ShowErrors::No), -12) << "source in use";
  EXPECT_EQ(ExpandFile(source, heldPath, ShowErrors::No), -12) << "destination in use";
  CloseHandle(held);

  // Paths longer than an OFSTRUCT holds (128 characters) are opened all the same.
  const std::wstring deep = work + L"\\" + std::wstring(120, L'd');
  CreateDirectoryW(deep.c_str(), nullptr);
  EXPECT_EQ(ExpandFile(source, deep + L"\\beep.wav", ShowErrors::No), length) << "a deep destination";
  EXPECT_EQ(ExpandFile(deep + L"\\beep.wav", deep + L"\\copy.wav", ShowErrors::No), length)
      << "a deep source";
}

}  // namespace
}  // namespace vxr

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc == 3 && std::string(argv[1]) == "--write") {
    for (const auto& f : vxr::Corpus())
      vxr::test::WriteFile(std::filesystem::path(argv[2]) / f.name, f.bytes);
    return 0;
  }
  if (argc != 2) {
    std::printf("usage: %s [--write] CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  vxr::g_corpus = argv[1];
  vxr::g_work = vxr::g_corpus / "work";
  std::filesystem::create_directories(vxr::g_work);
  return RUN_ALL_TESTS();
}
