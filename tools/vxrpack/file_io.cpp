#include "tools/vxrpack/file_io.h"

#include <algorithm>
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

std::FILE* OpenFile(const fs::path& path, const char* mode) {
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

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const fs::path& path, std::string& error) {
  Close();
  path_ = path;
  error_.clear();
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = Display(path) + ": is a folder, not a file";
    return false;
  }
  file_ = OpenFile(path, "rb");
  if (file_ == nullptr) {
    error = Display(path) + ": " + Reason(errno);
    return false;
  }
  // The callers read in large blocks: straight into their buffers.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  size_ = fs::file_size(path, ec);
  if (ec) size_ = 0;
  return true;
}

std::ptrdiff_t InputFile::Read(std::span<std::uint8_t> buffer) {
  if (file_ == nullptr) return -1;
  const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_);
  if (got < buffer.size() && std::ferror(file_)) {
    error_ = Display(path_) + ": read failed: " + Reason(errno);
    return -1;
  }
  return static_cast<std::ptrdiff_t>(got);
}

void InputFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  InputFile file;
  if (!file.Open(path, error)) return false;
  bytes.clear();
  // The size is only a guess: the file may change while it is read.
  bytes.resize(static_cast<std::size_t>(file.Size()) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() * 2);
    const std::ptrdiff_t n = file.Read(std::span(bytes).subspan(have));
    if (n < 0) {
      error = file.Error();
      return false;
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  return true;
}

AtomicOutputFile::~AtomicOutputFile() { Discard(); }

bool AtomicOutputFile::Create(const fs::path& path, Durability durability, std::string& error) {
  static int counter = 0;
  Discard();
  path_ = path;
  durability_ = durability;
  size_ = at_ = 0;
  error_.clear();
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
  temp_ = folder / tempName;
  const std::string tempText = temp_.string();
  if (tempText.size() < sizeof g_tempPath) {
    std::memcpy(g_tempPath, tempText.c_str(), tempText.size() + 1);
    g_tempActive.store(true);
  }
  file_ = OpenFile(temp_, "wb");
  if (file_ == nullptr) {
    error = Display(path) + ": cannot create a file in " + Display(folder) + ": " + Reason(errno);
    g_tempActive.store(false);
    temp_.clear();
    return false;
  }
  // Written in large blocks: straight from the callers' buffers.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return true;
}

bool AtomicOutputFile::Write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || !error_.empty()) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    error_ = Display(path_) + ": write failed: " + Reason(errno);
    return false;
  }
  at_ += bytes.size();
  size_ = std::max(size_, at_);
  return true;
}

bool AtomicOutputFile::WriteAtStart(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || !error_.empty()) return false;
  if (std::fseek(file_, 0, SEEK_SET) != 0) {
    error_ = Display(path_) + ": write failed: " + Reason(errno);
    return false;
  }
  at_ = 0;
  const bool written = Write(bytes);
  at_ = size_;
  if (std::fseek(file_, 0, SEEK_END) != 0 && written) {
    error_ = Display(path_) + ": write failed: " + Reason(errno);
    return false;
  }
  return written;
}

bool AtomicOutputFile::Commit(std::string& error) {
  if (file_ == nullptr || !error_.empty()) {
    error = error_.empty() ? Display(path_) + ": not written" : error_;
    Discard();
    return false;
  }
  const bool flushed = durability_ == Durability::kRename || Flush(file_);
  const int err = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    error = Display(path_) + ": write failed: " + Reason(flushed ? errno : err);
    Discard();
    return false;
  }
  std::error_code ec;
  fs::rename(temp_, path_, ec);
  if (ec) {
    error = Display(path_) + ": cannot replace: " + ec.message();
    Discard();
    return false;
  }
  temp_.clear();
  g_tempActive.store(false);
  return true;
}

void AtomicOutputFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) {
    g_tempActive.store(false);
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
  }
}

bool WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes, std::string& error) {
  AtomicOutputFile file;
  if (!file.Create(path, AtomicOutputFile::Durability::kFlushAndRename, error)) return false;
  if (!file.Write(bytes)) {
    error = file.Error();
    return false;
  }
  return file.Commit(error);
}

void RemoveTemporaryFilesOnSignal() {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

}  // namespace vxr::pack
