// Expansion speed: our expander against libmspack's SZDD decompressor (memory
// to memory and file to file), msexpand, and a plain 64 KiB copy, on the same
// files in the same run. Prints MB/s of expanded output and the ratios.
#include <fcntl.h>
#include <mspack.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

#include "codec/szdd_expander.h"
#include "tests/support/corpus.h"

namespace {

namespace fs = std::filesystem;
using vxr::test::Bytes;
using Clock = std::chrono::steady_clock;

// ---- libmspack over memory -------------------------------------------------------
struct MemFile {
  const Bytes* in = nullptr;
  Bytes* out = nullptr;
  std::size_t pos = 0;
};

mspack_file* MemOpen(mspack_system*, const char* name, int) {
  auto* f = new MemFile(*reinterpret_cast<const MemFile*>(name));
  return reinterpret_cast<mspack_file*>(f);
}
void MemClose(mspack_file* f) { delete reinterpret_cast<MemFile*>(f); }
int MemRead(mspack_file* file, void* buffer, int bytes) {
  auto* f = reinterpret_cast<MemFile*>(file);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytes), f->in->size() - f->pos);
  std::memcpy(buffer, f->in->data() + f->pos, n);
  f->pos += n;
  return static_cast<int>(n);
}
int MemWrite(mspack_file* file, void* buffer, int bytes) {
  auto* f = reinterpret_cast<MemFile*>(file);
  const auto* b = static_cast<const std::uint8_t*>(buffer);
  f->out->insert(f->out->end(), b, b + bytes);
  return bytes;
}
int MemSeek(mspack_file* file, off_t offset, int mode) {
  auto* f = reinterpret_cast<MemFile*>(file);
  const off_t base = mode == MSPACK_SYS_SEEK_START ? 0
                     : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(f->pos)
                                                   : static_cast<off_t>(f->in->size());
  if (base + offset < 0 || base + offset > static_cast<off_t>(f->in->size())) return -1;
  f->pos = static_cast<std::size_t>(base + offset);
  return 0;
}
off_t MemTell(mspack_file* file) { return static_cast<off_t>(reinterpret_cast<MemFile*>(file)->pos); }
void MemMessage(mspack_file*, const char*, ...) {}
void* MemAlloc(mspack_system*, std::size_t bytes) { return std::malloc(bytes); }
void MemFree(void* p) { std::free(p); }
void MemCopy(void* src, void* dst, std::size_t bytes) { std::memcpy(dst, src, bytes); }

mspack_system kMemSystem = {MemOpen,    MemClose, MemRead, MemWrite, MemSeek, MemTell,
                            MemMessage, MemAlloc, MemFree, MemCopy,  nullptr};

bool MspackMemory(const Bytes& in, Bytes& out) {
  msszdd_decompressor* d = mspack_create_szdd_decompressor(&kMemSystem);
  MemFile source{&in, nullptr, 0};
  MemFile target{nullptr, &out, 0};
  out.clear();
  bool ok = false;
  if (msszddd_header* h = d->open(d, reinterpret_cast<char*>(&source))) {
    ok = d->extract(d, h, reinterpret_cast<char*>(&target)) == MSPACK_ERR_OK;
    d->close(d, h);
  }
  mspack_destroy_szdd_decompressor(d);
  return ok;
}

bool MspackFile(const fs::path& in, const fs::path& out) {
  msszdd_decompressor* d = mspack_create_szdd_decompressor(nullptr);
  bool ok = false;
  if (msszddd_header* h = d->open(d, const_cast<char*>(in.c_str()))) {
    ok = d->extract(d, h, const_cast<char*>(out.c_str())) == MSPACK_ERR_OK;
    d->close(d, h);
  }
  mspack_destroy_szdd_decompressor(d);
  return ok;
}

// ---- ours, file to file: one read, expand in memory, one write --------------------
bool OursFile(const fs::path& in, const fs::path& out) {
  const int fd = ::open(in.c_str(), O_RDONLY);
  if (fd < 0) return false;
  Bytes packed(static_cast<std::size_t>(fs::file_size(in)));
  const bool read = ::read(fd, packed.data(), packed.size()) == static_cast<ssize_t>(packed.size());
  ::close(fd);
  Bytes expanded;
  if (!read || vxr::szdd::ExpandBuffer(packed, expanded) < 0) return false;
  const int wd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (wd < 0) return false;
  const bool wrote = ::write(wd, expanded.data(), expanded.size()) == static_cast<ssize_t>(expanded.size());
  ::close(wd);
  return wrote;
}

// The floor for any file-to-file expander: copying the expanded bytes in 64 KiB blocks.
bool PlainCopy(const fs::path& in, const fs::path& out) {
  const int fd = ::open(in.c_str(), O_RDONLY);
  const int wd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  static std::uint8_t block[65536];
  ssize_t n = 0;
  while ((n = ::read(fd, block, sizeof(block))) > 0) {
    if (::write(wd, block, static_cast<std::size_t>(n)) != n) break;
  }
  ::close(fd);
  ::close(wd);
  return n == 0;
}

bool MsExpand(const fs::path& in, const fs::path& out) {
  return std::system(("msexpand < '" + in.string() + "' > '" + out.string() + "'").c_str()) == 0;
}

// Seconds per run: repeated until at least `minimum` seconds have passed.
double Time(const std::function<bool()>& run, double minimum) {
  int runs = 0;
  const auto start = Clock::now();
  double elapsed = 0;
  do {
    if (!run()) return -1;
    ++runs;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < minimum);
  return elapsed / runs;
}

}  // namespace

int main(int argc, char** argv) {
  const double minimum = argc > 1 ? std::atof(argv[1]) : 0.5;
  const vxr::test::ScratchDir dir("szdd-bench");
  const char* methods[] = {"ours mem", "mspack mem", "ours file", "mspack file", "msexpand", "64K copy"};
  constexpr int kMethods = 6;
  double totalSeconds[kMethods] = {};
  std::size_t totalBytes = 0;

  std::printf("%-16s %10s %10s", "file", "bytes", "packed");
  for (const char* m : methods) std::printf(" %12s", m);
  std::printf("   (MB/s of expanded output)\n");
  for (const auto& file : vxr::test::MakeCorpus(vxr::test::kWineDlls, true)) {
    if (file.bytes.size() < vxr::test::kMsCompressMinimum) continue;
    const fs::path original = dir / file.name;
    vxr::test::WriteFile(original, file.bytes);
    if (!vxr::test::MsCompress(original)) {
      std::fprintf(stderr, "mscompress failed on %s\n", file.name.c_str());
      return 1;
    }
    const fs::path packedPath = original.string() + "_";
    const Bytes packed = vxr::test::ReadFile(packedPath);
    const fs::path out = dir / "out.bin";
    Bytes ours, theirs;
    const std::function<bool()> runs[kMethods] = {
        [&] { return vxr::szdd::ExpandBuffer(packed, ours) >= 0; },
        [&] { return MspackMemory(packed, theirs); },
        [&] { return OursFile(packedPath, out); },
        [&] { return MspackFile(packedPath, out); },
        [&] { return MsExpand(packedPath, out); },
        [&] { return PlainCopy(original, out); },
    };
    std::printf("%-16s %10zu %10zu", file.name.c_str(), file.bytes.size(), packed.size());
    for (int m = 0; m < kMethods; ++m) {
      // msexpand starts a process per run: fewer repetitions suffice.
      const double seconds = Time(runs[m], m == 4 ? minimum / 4 : minimum);
      if (seconds < 0) {
        std::fprintf(stderr, "\n%s failed on %s\n", methods[m], file.name.c_str());
        return 1;
      }
      totalSeconds[m] += seconds;
      std::printf(" %12.1f", static_cast<double>(file.bytes.size()) / seconds / 1e6);
    }
    std::printf("\n");
    if (ours != file.bytes || theirs != file.bytes) {
      std::fprintf(stderr, "%s: an expansion differs from the original\n", file.name.c_str());
      return 1;
    }
    totalBytes += file.bytes.size();
  }
  std::printf("%-16s %10zu %10s", "all", totalBytes, "");
  for (int m = 0; m < kMethods; ++m)
    std::printf(" %12.1f", static_cast<double>(totalBytes) / totalSeconds[m] / 1e6);
  std::printf("\n\nours mem / mspack mem:   %.2fx\n", totalSeconds[1] / totalSeconds[0]);
  std::printf("ours file / mspack file: %.2fx\n", totalSeconds[3] / totalSeconds[2]);
  std::printf("ours file / msexpand:    %.2fx\n", totalSeconds[4] / totalSeconds[2]);
  std::printf("ours file / 64K copy:    %.2fx (speed relative to a plain copy)\n",
              totalSeconds[5] / totalSeconds[2]);
  return 0;
}
