// Raw files through CreateFileW: reads at a position, writes in one piece.
#include "platform/raw_file.h"

#include <windows.h>

#include <string>

namespace platform {
namespace {

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// ReadFile and WriteFile take at most 4 GiB less one byte a call.
constexpr std::size_t kMaxChunk = 0x40000000;

}  // namespace

DosError RawFile::OpenForReading(std::wstring_view path) {
  Close();
  const std::wstring name(path);
  // Others may read, as they may the running executable itself.
  HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return kErrorSuccess;
}

DosError RawFile::OpenForWriting(std::wstring_view path) {
  Close();
  const std::wstring name(path);
  // OPEN_ALWAYS and then cutting, not CREATE_ALWAYS: that one refuses a hidden
  // or system file of the same name, which a plain open for writing accepts.
  HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  handle_ = reinterpret_cast<std::intptr_t>(h);
  if (!SetEndOfFile(h)) {
    const DosError error = GetLastError();
    Close();
    return error;
  }
  return kErrorSuccess;
}

DosError RawFile::CreateNew(std::wstring_view path) {
  Close();
  const std::wstring name(path);
  HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return kErrorSuccess;
}

DosError RawFile::Length(std::uint64_t& length) const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(H(handle_), &size)) return GetLastError();
  length = static_cast<std::uint64_t>(size.QuadPart);
  return kErrorSuccess;
}

DosError RawFile::ReadAt(std::uint64_t position, std::span<std::uint8_t> buffer) const {
  std::size_t done = 0;
  while (done < buffer.size()) {
    OVERLAPPED at{};
    const std::uint64_t offset = position + done;
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const std::size_t chunk = buffer.size() - done < kMaxChunk ? buffer.size() - done : kMaxChunk;
    DWORD got = 0;
    if (!ReadFile(H(handle_), buffer.data() + done, static_cast<DWORD>(chunk), &got, &at)) {
      return GetLastError();
    }
    if (got == 0) return kErrorHandleEof;
    done += got;
  }
  return kErrorSuccess;
}

DosError RawFile::Write(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t chunk = bytes.size() - done < kMaxChunk ? bytes.size() - done : kMaxChunk;
    DWORD put = 0;
    if (!WriteFile(H(handle_), bytes.data() + done, static_cast<DWORD>(chunk), &put, nullptr)) {
      return GetLastError();
    }
    if (put == 0) return kErrorDiskFull;
    done += put;
  }
  return kErrorSuccess;
}

void RawFile::Close() {
  if (IsOpen()) CloseHandle(H(handle_));
  handle_ = kClosed;
}

}  // namespace platform
