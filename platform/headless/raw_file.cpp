// Raw files on the host file system under the drive map, with the failures a
// test injects: a chosen DOS error for an open, read or write, and a disk
// that fills up after a number of bytes.
#include "platform/raw_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>

#include "platform/headless/headless.h"

namespace headless {
namespace {

struct DiskState {
  std::int64_t spaceLeft = -1;  // negative: unlimited
  std::int32_t nextLzCopyFailure = 0;
  std::map<std::intptr_t, std::wstring> openPaths;  // for failures injected by path
};
DiskState& D() {
  static DiskState state;
  return state;
}
void ResetDisk() { D() = DiskState{}; }
const ResetHook diskHook{&ResetDisk};

}  // namespace

void FillDiskAfter(std::int64_t bytes) { D().spaceLeft = bytes < 0 ? -1 : bytes; }

std::size_t TakeDiskSpace(std::size_t wanted) {
  if (D().spaceLeft < 0) return wanted;
  const auto left = static_cast<std::uint64_t>(D().spaceLeft);
  const std::size_t granted = wanted < left ? wanted : static_cast<std::size_t>(left);
  D().spaceLeft -= static_cast<std::int64_t>(granted);
  return granted;
}

void RememberOpenPath(std::intptr_t handle, std::wstring_view path) { D().openPaths[handle] = path; }
void ForgetOpenPath(std::intptr_t handle) { D().openPaths.erase(handle); }
std::wstring OpenPath(std::intptr_t handle) {
  const auto it = D().openPaths.find(handle);
  return it == D().openPaths.end() ? std::wstring{} : it->second;
}

void FailNextLzCopy(std::int32_t result) { D().nextLzCopyFailure = result; }

// Read by the headless LZ service, which keeps no state of its own for this.
std::int32_t TakeLzCopyFailure() {
  const auto result = D().nextLzCopyFailure;
  D().nextLzCopyFailure = 0;
  return result;
}

}  // namespace headless

namespace platform {
namespace {

DosError OpenHost(std::wstring_view path, int flags, std::intptr_t& handle) {
  const auto host = headless::HostPath(path);
  // A path on a drive that is not mapped: Windows says the path is not found.
  if (host.empty()) return kErrorPathNotFound;
  const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) {
    const int error = errno;
    std::error_code ec;
    const bool parentMissing = !std::filesystem::is_directory(host.parent_path(), ec);
    return headless::DosErrorFromErrno(error, parentMissing);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return kErrorAccessDenied;
  }
  handle = fd;
  headless::RememberOpenPath(handle, path);
  return kErrorSuccess;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

DosError RawFile::OpenForReading(std::wstring_view path) {
  Close();
  if (const auto injected = headless::TakeInjectedFailure("RawOpenRead", path)) return injected;
  return OpenHost(path, O_RDONLY, handle_);
}

DosError RawFile::OpenForWriting(std::wstring_view path) {
  Close();
  if (const auto injected = headless::TakeInjectedFailure("RawOpenWrite", path)) return injected;
  return OpenHost(path, O_WRONLY | O_CREAT | O_TRUNC, handle_);
}

DosError RawFile::CreateNew(std::wstring_view path) {
  Close();
  if (const auto injected = headless::TakeInjectedFailure("RawOpenWrite", path)) return injected;
  const DosError error = OpenHost(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, handle_);
  return error == kErrorAlreadyExists ? kErrorFileExists : error;
}

DosError RawFile::Length(std::uint64_t& length) const {
  struct stat st {};
  if (!IsOpen()) return 6;  // ERROR_INVALID_HANDLE
  if (::fstat(Fd(handle_), &st) != 0) return headless::DosErrorFromErrno(errno);
  length = static_cast<std::uint64_t>(st.st_size);
  return kErrorSuccess;
}

DosError RawFile::ReadAt(std::uint64_t position, std::span<std::uint8_t> buffer) const {
  if (!IsOpen()) return 6;
  if (const auto injected = headless::TakeInjectedFailure("RawRead", headless::OpenPath(handle_)))
    return injected;
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t got =
        ::pread(Fd(handle_), buffer.data() + done, buffer.size() - done, static_cast<off_t>(position + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return headless::DosErrorFromErrno(errno);
    if (got == 0) return kErrorHandleEof;
    done += static_cast<std::size_t>(got);
  }
  return kErrorSuccess;
}

DosError RawFile::Write(std::span<const std::uint8_t> bytes) {
  if (!IsOpen()) return 6;
  if (const auto injected = headless::TakeInjectedFailure("RawWrite", headless::OpenPath(handle_)))
    return injected;
  const std::size_t fits = headless::TakeDiskSpace(bytes.size());
  std::size_t done = 0;
  while (done < fits) {
    const ssize_t put = ::write(Fd(handle_), bytes.data() + done, fits - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return headless::DosErrorFromErrno(errno);
    done += static_cast<std::size_t>(put);
  }
  return fits == bytes.size() ? kErrorSuccess : kErrorDiskFull;
}

void RawFile::Close() {
  if (IsOpen()) {
    headless::ForgetOpenPath(handle_);
    ::close(Fd(handle_));
  }
  handle_ = kClosed;
}

}  // namespace platform
