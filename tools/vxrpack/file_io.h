// File reads and atomic writes for the packing tool, whole or block by block.
// Errors are returned as messages that name the offending path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "codec/szdd_expander.h"

namespace vxr::pack {

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes into a temporary file in the destination's folder, flushes it to the
// disk and renames it over the destination, so that a failed or interrupted
// run never leaves a partial file under that name. Creates the destination's
// folder when missing.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

// A file read from start to end in blocks.
class InputFile final : public szdd::ByteSource {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  bool Open(const std::filesystem::path& path, std::string& error);
  // The bytes read, 0 at the end, -1 on a failure (see Error()).
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override;
  // The size when opened, for progress reports.
  std::uint64_t Size() const { return size_; }
  void Close();
  const std::string& Error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::uint64_t size_ = 0;
  std::string error_;
};

// A file written block by block under a temporary name in the destination's
// folder and renamed over the destination by Commit(). Until then, and after
// any failure, the destination is untouched; the temporary file goes when
// the object does (and on SIGINT or SIGTERM, see RemoveTemporaryFilesOnSignal).
class AtomicOutputFile final : public szdd::ByteSink {
 public:
  // Whether Commit() waits for the data to reach the disk before renaming,
  // so that not even a power cut leaves a partial file under the name.
  enum class Durability { kRename, kFlushAndRename };

  AtomicOutputFile() = default;
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;
  ~AtomicOutputFile();

  // Creates the destination's folder when missing.
  bool Create(const std::filesystem::path& path, Durability durability, std::string& error);
  // False on a failure (see Error()); later writes fail too.
  bool Write(std::span<const std::uint8_t> bytes) override;
  // Writes over the bytes at the start of the file.
  bool WriteAtStart(std::span<const std::uint8_t> bytes);
  bool Commit(std::string& error);
  // Bytes written so far.
  std::uint64_t Size() const { return size_; }
  const std::string& Error() const { return error_; }

 private:
  void Discard();

  std::FILE* file_ = nullptr;
  std::filesystem::path path_, temp_;
  Durability durability_ = Durability::kFlushAndRename;
  std::uint64_t size_ = 0;  // the end of the data written
  std::uint64_t at_ = 0;    // where the next write goes
  std::string error_;
};

// Removes a temporary file still being written when the process is stopped by
// SIGINT or SIGTERM (Ctrl+C, or a build system giving up).
void RemoveTemporaryFilesOnSignal();

// A path for messages, as the user would type it.
std::string Display(const std::filesystem::path& path);

}  // namespace vxr::pack
