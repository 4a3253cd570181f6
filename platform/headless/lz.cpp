// LZ expansion without LZ32: the engine's own SZDD expander behind LZ32's
// handles and results. A copy streams: the source is read and the expansion
// written a block at a time, whatever the file's size.
#include "platform/lz.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "codec/szdd_expander.h"
#include "platform/headless/headless.h"
#include "platform/raw_file.h"

namespace headless {
std::int32_t TakeLzCopyFailure();  // raw_file.cpp keeps the disk's and the copies' failures
}

namespace platform {
namespace {

struct LzFile {
  RawFile file;
  bool forReading = false;
};

std::vector<std::unique_ptr<LzFile>>& Handles() {
  static std::vector<std::unique_ptr<LzFile>> handles;
  return handles;
}
void ResetLz() { Handles().clear(); }
const headless::ResetHook lzHook{&ResetLz};

LzFile* Find(std::int32_t handle) {
  auto& handles = Handles();
  if (handle < 0 || static_cast<std::size_t>(handle) >= handles.size()) return nullptr;
  return handles[static_cast<std::size_t>(handle)].get();
}

constexpr std::int32_t kHfileError = -1;

DosError Open(RawFile& file, std::wstring_view path, bool forReading) {
  return forReading ? file.OpenForReading(path) : file.OpenForWriting(path);
}

}  // namespace

std::int32_t LzOpenFile(std::wstring_view path, LzOpenInfo& info, std::uint16_t style) {
  info.errorCode = 0;
  auto entry = std::make_unique<LzFile>();
  entry->forReading = (style & kOfCreate) == 0;
  // An injected failure is final; a source that cannot be opened is tried
  // again under its compressed name, and that attempt's error is the one reported.
  DosError error = headless::TakeInjectedFailure("LzOpenFile", path);
  if (!error) {
    error = Open(entry->file, path, entry->forReading);
    if (error && entry->forReading) error = Open(entry->file, CompressedName(path), true);
  }
  if (error) {
    info.errorCode = static_cast<std::int16_t>(error);
    return kHfileError;
  }
  auto& handles = Handles();
  for (std::size_t i = 0; i < handles.size(); ++i) {
    if (!handles[i]) {
      handles[i] = std::move(entry);
      return static_cast<std::int32_t>(i);
    }
  }
  handles.push_back(std::move(entry));
  return static_cast<std::int32_t>(handles.size() - 1);
}

// The codec's stream over the raw files, reading from the start and writing
// on from where the destination stands.
class FileSource final : public vxr::szdd::ByteSource {
 public:
  explicit FileSource(const RawFile& file) : file_(file) {}
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override {
    std::uint64_t length = 0;
    if (file_.Length(length) != kErrorSuccess) return -1;
    const std::uint64_t left = length > position_ ? length - position_ : 0;
    buffer = buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size())));
    if (!buffer.empty() && file_.ReadAt(position_, buffer) != kErrorSuccess) return -1;
    position_ += buffer.size();
    return static_cast<std::ptrdiff_t>(buffer.size());
  }

 private:
  const RawFile& file_;
  std::uint64_t position_ = 0;
};

class FileSink final : public vxr::szdd::ByteSink {
 public:
  explicit FileSink(RawFile& file) : file_(file) {}
  bool Write(std::span<const std::uint8_t> bytes) override { return file_.Write(bytes) == kErrorSuccess; }

 private:
  RawFile& file_;
};

std::int32_t LzCopy(std::int32_t source, std::int32_t destination) {
  LzFile* in = Find(source);
  LzFile* out = Find(destination);
  if (!in || !in->forReading) return vxr::szdd::kLzErrorBadInHandle;
  if (!out) return vxr::szdd::kLzErrorBadOutHandle;
  if (const auto failure = headless::TakeLzCopyFailure()) return failure;

  FileSource from(in->file);
  FileSink to(out->file);
  // LZ32 writes as it expands, so bytes expanded before a failure land too.
  const std::int64_t count = vxr::szdd::ExpandStream(from, to);
  return count > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(count);
}

void LzClose(std::int32_t handle) {
  if (Find(handle)) Handles()[static_cast<std::size_t>(handle)].reset();
}

}  // namespace platform
