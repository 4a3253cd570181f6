// LZ expansion without LZ32: the engine's own SZDD expander behind LZ32's
// handles and results. A copy reads the whole source, expands it in memory and
// writes it in one piece, as fast as the files allow.
#include "platform/lz.h"

#include <memory>
#include <optional>
#include <vector>

#include "engine/szdd_expander.h"
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

}  // namespace

std::int32_t LzOpenFile(std::wstring_view path, LzOpenInfo& info, std::uint16_t style) {
  info.errorCode = 0;
  auto entry = std::make_unique<LzFile>();
  entry->forReading = (style & kOfCreate) == 0;
  DosError error = headless::TakeInjectedFailure("LzOpenFile", path);
  if (!error) error = entry->forReading ? entry->file.OpenForReading(path) : entry->file.OpenForWriting(path);
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

std::int32_t LzCopy(std::int32_t source, std::int32_t destination) {
  LzFile* in = Find(source);
  LzFile* out = Find(destination);
  if (!in || !in->forReading) return vxr::szdd::kLzErrorBadInHandle;
  if (!out) return vxr::szdd::kLzErrorBadOutHandle;
  if (const auto failure = headless::TakeLzCopyFailure()) return failure;

  std::uint64_t length = 0;
  if (in->file.Length(length) != kErrorSuccess) return vxr::szdd::kLzErrorRead;
  std::vector<std::uint8_t> compressed(static_cast<std::size_t>(length));
  if (in->file.ReadAt(0, compressed) != kErrorSuccess) return vxr::szdd::kLzErrorRead;
  std::vector<std::uint8_t> expanded;
  const std::int32_t count = vxr::szdd::ExpandBuffer(compressed, expanded);
  // LZ32 writes as it expands, so bytes expanded before a failure still land.
  if (!expanded.empty() && out->file.Write(expanded) != kErrorSuccess) return vxr::szdd::kLzErrorWrite;
  return count;
}

void LzClose(std::int32_t handle) {
  if (Find(handle)) Handles()[static_cast<std::size_t>(handle)].reset();
}

}  // namespace platform
