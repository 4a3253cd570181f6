// Files opened for raw bytes: read at a position, write in one piece.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/files.h"

namespace platform {

inline constexpr DosError kErrorHandleEof = 38;  // a read past the end of the file

// One open file; closed by Close() or the destructor. Move-only.
class RawFile {
 public:
  RawFile() = default;
  ~RawFile() { Close(); }
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;
  RawFile(RawFile&& other) noexcept : handle_(other.handle_) { other.handle_ = kClosed; }
  RawFile& operator=(RawFile&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = kClosed;
    }
    return *this;
  }

  // Opens an existing file for reading; others may read it at the same time.
  DosError OpenForReading(std::wstring_view path);
  // Opens a file for writing: creates it, or empties one that exists.
  DosError OpenForWriting(std::wstring_view path);
  // Creates a new file for writing; kErrorFileExists when anything of that
  // name is there already, a link included, which is never followed.
  DosError CreateNew(std::wstring_view path);
  bool IsOpen() const { return handle_ != kClosed; }

  DosError Length(std::uint64_t& length) const;
  // Fills the whole buffer from the 0-based `position`; a file that ends
  // before the buffer is full gives kErrorHandleEof.
  DosError ReadAt(std::uint64_t position, std::span<std::uint8_t> buffer) const;
  // Appends the whole buffer at the current end of what was written.
  DosError Write(std::span<const std::uint8_t> bytes);
  void Close();

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
};

}  // namespace platform
