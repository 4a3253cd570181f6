// Under Wine: ExpandFile through the real LZ32 and our own expander must give
// the same bytes and results, on the corpus (compressed by mscompress on the
// host, see wine_lz32.sh) and on malformed files; and the open and copy
// failures that a real file system can produce reach their result codes.
// A plain program, not GoogleTest: MinGW's win32 thread model lacks the
// std::mutex that GoogleTest needs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/expand_files.h"
#include "engine/szdd_expander.h"
#include "engine/szdd_format.h"

namespace vxr {
namespace {

using Bytes = std::vector<std::uint8_t>;

int passed = 0;
int failed = 0;
std::string context;

#define CHECK(cond, ...)                                                                 \
  do {                                                                                   \
    if (cond) {                                                                          \
      ++passed;                                                                          \
    } else {                                                                             \
      ++failed;                                                                          \
      std::printf("%s:%d: %s failed (%s) ", __FILE__, __LINE__, #cond, context.c_str()); \
      std::printf(__VA_ARGS__);                                                          \
      std::printf("\n");                                                                 \
    }                                                                                    \
  } while (0)

Bytes Read(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

void Write(const std::wstring& path, const Bytes& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// One file through both: LZ32's result and bytes against ours.
void ExpectSameExpansion(const std::wstring& source, const std::wstring& work) {
  const std::wstring target = work + L"\\out.bin";
  DeleteFileW(target.c_str());
  const std::int32_t real = ExpandFile(source, target, false);
  Bytes ours;
  const std::int32_t mine = szdd::ExpandBuffer(Read(source), ours);
  CHECK(real == mine * (mine < 0 ? 100 : 1), "LZ32 %d, ours %d", real, mine);
  const Bytes written = Read(target);
  CHECK(written == ours, "LZ32 wrote %zu bytes, ours %zu", written.size(), ours.size());
}

void CorpusExpandsAlike(const std::wstring& corpus, const std::wstring& work) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((corpus + L"\\*_").c_str(), &found);
  CHECK(search != INVALID_HANDLE_VALUE, "no corpus");
  if (search == INVALID_HANDLE_VALUE) return;
  int files = 0;
  do {
    context = Narrow(found.cFileName);
    const std::wstring source = corpus + L"\\" + found.cFileName;
    ExpectSameExpansion(source, work);
    // Its original lies beside it: the expansion gives it back.
    std::wstring original = source;
    original.pop_back();
    CHECK(Read(work + L"\\out.bin") == Read(original), "not the original");
    ++files;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  context.clear();
  CHECK(files >= 8, "%d compressed files", files);
}

void MalformedFilesExpandAlike(const std::wstring& corpus, const std::wstring& work) {
  // A real compressed file to cut and damage.
  const Bytes good = Read(corpus + L"\\kernel32.dll_");
  CHECK(good.size() > 1000, "%zu bytes", good.size());
  if (good.size() <= 1000) return;
  auto prefix = [&](std::size_t n) {
    return Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
  };
  std::vector<Bytes> cases = {{}};
  for (const std::size_t n : {1u, 2u, 7u, 8u, 9u, 10u, 12u, 13u, 14u, 15u, 16u, 17u, 100u, 1001u}) {
    cases.push_back(prefix(n));
  }
  cases.push_back(prefix(good.size() - 1));
  for (const std::uint8_t mode : {'B', 'a', '\0'}) {
    Bytes wrong = good;
    wrong[szdd::kOffsetMode] = mode;
    cases.push_back(wrong);
    cases.push_back(Bytes(wrong.begin(), wrong.begin() + 14));
  }
  for (const std::uint32_t declared : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Bytes resized = good;
    for (int i = 0; i < 4; ++i) {
      resized[szdd::kOffsetExpandedSize + i] = static_cast<std::uint8_t>(declared >> (8 * i));
    }
    cases.push_back(resized);
  }
  Bytes tail = good;
  for (int i = 0; i < 300; ++i) tail.push_back(static_cast<std::uint8_t>(i * 91));
  cases.push_back(tail);
  Bytes signature = good;
  signature[7] ^= 1;
  cases.push_back(signature);
  // Matches only, some naming the writer's own slot, and a cut match at the end.
  Bytes matches = prefix(14);
  for (int g = 0; g < 600; ++g) {
    matches.push_back(static_cast<std::uint8_t>(g * 37));
    for (int i = 0; i < 8; ++i) {
      matches.push_back(static_cast<std::uint8_t>(g * 13 + i));
      matches.push_back(static_cast<std::uint8_t>(0xF0 + i));
    }
  }
  matches.push_back(0x00);
  matches.push_back(0x12);
  cases.push_back(matches);

  for (std::size_t i = 0; i < cases.size(); ++i) {
    context = "case " + std::to_string(i) + ", " + std::to_string(cases[i].size()) + " bytes";
    const std::wstring source = work + L"\\case.bi_";
    Write(source, cases[i]);
    ExpectSameExpansion(source, work);
  }
  context.clear();
}

void FailuresReachTheirCodes(const std::wstring& corpus, const std::wstring& work) {
  const std::wstring source = corpus + L"\\beep.wav_";
  const std::wstring target = work + L"\\beep.wav";
  std::int32_t r = ExpandFile(work + L"\\none.wa_", target, false);
  CHECK(r == -1, "missing source: %d", r);
  r = ExpandFile(source, work + L"\\nowhere\\beep.wav", false);
  CHECK(r == -2, "missing folder: %d", r);

  // LZ32 retries a failed open with the compressed form of the name (last
  // character "_"), and reports that second attempt's error: only names that
  // already end in "_" keep their own error.
  const std::wstring folder = work + L"\\folder.wa_";
  CreateDirectoryW(folder.c_str(), nullptr);
  r = ExpandFile(source, folder, false);
  CHECK(r == -4, "a folder as destination: %d", r);

  // A file someone holds open without sharing, as source and as destination.
  const std::wstring heldPath = work + L"\\held.wa_";
  HANDLE held = CreateFileW(heldPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CHECK(held != INVALID_HANDLE_VALUE, "hold");
  r = ExpandFile(heldPath, target, false);
  CHECK(r == -12, "source in use: %d", r);
  r = ExpandFile(source, heldPath, false);
  CHECK(r == -12, "destination in use: %d", r);
  CloseHandle(held);

  // full.wav is the host's /dev/full: every write fails, so the copy does.
  r = ExpandFile(source, corpus + L"\\full.wav", false);
  CHECK(r == -400, "full disk: %d", r);

  r = ExpandFile(source, target, false);
  const auto original = static_cast<std::int32_t>(Read(corpus + L"\\beep.wav").size());
  CHECK(r == original && r > 0, "beep.wav: %d", r);
}

}  // namespace
}  // namespace vxr

int main() {
  const wchar_t* dir = _wgetenv(L"VXR_ENGINE_CORPUS");
  if (!dir) {
    std::printf("VXR_ENGINE_CORPUS is not set\n");
    return 1;
  }
  const std::wstring corpus = dir;
  const std::wstring work = corpus + L"\\work";
  CreateDirectoryW(work.c_str(), nullptr);
  vxr::CorpusExpandsAlike(corpus, work);
  vxr::MalformedFilesExpandAlike(corpus, work);
  vxr::FailuresReachTheirCodes(corpus, work);
  std::printf("%d passed, %d failed\n", vxr::passed, vxr::failed);
  return vxr::failed == 0 ? 0 : 1;
}
