#include "tools/vxrpack/file_io.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace vxr::pack {
namespace {

namespace fs = std::filesystem;

// The temporary file being written, for the signal handler: a fixed buffer,
// because the handler may only call async-signal-safe functions.
char g_tempPath[4096];
std::atomic<bool> g_tempActive{false};

void OnSignal(int sig) {
  if (g_tempActive.load()) {
#ifdef _WIN32
    std::remove(g_tempPath);
#else
    unlink(g_tempPath);
#endif
  }
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

std::FILE* Open(const fs::path& path, const char* mode) {
#ifdef _WIN32
  wchar_t wmode[4] = {};
  for (int i = 0; i < 3 && mode[i]; ++i) wmode[i] = static_cast<wchar_t>(mode[i]);
  return _wfopen(path.c_str(), wmode);
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::string Reason(int err) { return std::generic_category().message(err); }

int CurrentProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

bool Flush(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

}  // namespace

std::string Display(const fs::path& path) { return path.string(); }

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = Display(path) + ": is a folder, not a file";
    return false;
  }
  std::FILE* f = Open(path, "rb");
  if (f == nullptr) {
    error = Display(path) + ": " + Reason(errno);
    return false;
  }
  bytes.clear();
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) break;
  }
  const bool failed = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (failed) {
    error = Display(path) + ": read failed: " + Reason(err);
    return false;
  }
  return true;
}

bool WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes, std::string& error) {
  static int counter = 0;
  std::error_code ec;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) {
    fs::create_directories(folder, ec);
    if (ec) {
      error = Display(folder) + ": cannot create folder: " + ec.message();
      return false;
    }
  }
  if (fs::is_directory(path, ec)) {
    error = Display(path) + ": is a folder";
    return false;
  }
  // Hidden, and named after the output and this process, so that it is found
  // and understood if a crash ever leaves it behind. (Appended piece by piece:
  // GCC 12 warns falsely about chained std::string operator+ at -O3.)
  std::string tempName = ".";
  tempName += path.filename().string();
  tempName += ".vxrpack-";
  tempName += std::to_string(CurrentProcessId());
  tempName += '-';
  tempName += std::to_string(counter++);
  const fs::path temp = folder / tempName;
  const std::string tempText = temp.string();
  if (tempText.size() < sizeof g_tempPath) {
    std::memcpy(g_tempPath, tempText.c_str(), tempText.size() + 1);
    g_tempActive.store(true);
  }

  bool ok = false;
  if (std::FILE* f = Open(temp, "wb")) {
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool flushed = written && Flush(f);
    const int err = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !flushed || !closed) {
      error = Display(path) + ": write failed: " + Reason(err);
    } else {
      fs::rename(temp, path, ec);
      if (ec) {
        error = Display(path) + ": cannot replace: " + ec.message();
      } else {
        ok = true;
      }
    }
  } else {
    error = Display(path) + ": cannot create a file in " + Display(folder) + ": " + Reason(errno);
  }
  g_tempActive.store(false);
  if (!ok) fs::remove(temp, ec);
  return ok;
}

void RemoveTemporaryFilesOnSignal() {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

}  // namespace vxr::pack
