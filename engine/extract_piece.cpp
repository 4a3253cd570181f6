#include "engine/extract_piece.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "common/crc32.h"
#include "common/text.h"
#include "format/pe_image.h"
#include "platform/dialogs.h"
#include "platform/raw_file.h"

namespace vxr {
namespace {

// Where the pieces end: the end of the file, or, when an Authenticode
// signature was appended after them, the start of the certificate table. Only
// a table that ends the file counts: anything after it would be ours.
bool PayloadEnd(const platform::RawFile& package, std::uint64_t size, std::uint64_t& end) {
  end = size;
  std::uint8_t header[pe::kHeaderProbeBytes];
  const std::size_t probe = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof(header)));
  if (package.ReadAt(0, std::span(header, probe)) != platform::kErrorSuccess) return false;
  const auto headers = pe::ParseHeaders(std::span<const std::uint8_t>(header, probe));
  if (headers && headers->securitySize != 0 &&
      std::uint64_t{headers->securityOffset} + headers->securitySize == size) {
    end = headers->securityOffset;
  }
  return true;
}

// The 1-based start position in signed 32-bit arithmetic, as the table's
// numbers are; false on overflow.
bool StartPosition(std::uint64_t end, std::int32_t distance, std::int32_t length, std::int32_t& start) {
  if (end > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return false;
  std::int32_t position = static_cast<std::int32_t>(end);
  return !__builtin_sub_overflow(position, distance, &position) &&
         !__builtin_sub_overflow(position, length, &position) &&
         !__builtin_add_overflow(position, 1, &position) && ((start = position), true);
}

enum class Outcome { Copied, Failed, Damaged };

// Large enough that a piece costs a handful of reads and writes, small enough
// that a piece of any size needs no more memory.
constexpr std::size_t kChunk = std::size_t{1} << 20;

Outcome Copy(std::wstring_view source, std::wstring_view destination, std::int32_t length,
             std::int32_t distance, std::optional<std::uint32_t> expectedCrc, platform::RawFile& in,
             platform::RawFile& out) {
  if (length < 1) return Outcome::Failed;
  const auto total = static_cast<std::size_t>(length);
  const std::size_t chunk = std::min(total, kChunk);
  // A refused allocation is an ordinary failure.
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[chunk]);
  if (!buffer) return Outcome::Failed;

  if (in.OpenForReading(source) != platform::kErrorSuccess) return Outcome::Failed;
  // A new file: the staging folder is new, so anything of that name in it was
  // put there by something else, and a link must not be written through.
  if (out.CreateNew(destination) != platform::kErrorSuccess) return Outcome::Failed;

  std::uint64_t size = 0;
  std::uint64_t end = 0;
  std::int32_t start = 0;
  if (in.Length(size) != platform::kErrorSuccess || !PayloadEnd(in, size, end)) return Outcome::Failed;
  // A package too short to hold its pieces has lost bytes on its way here.
  if (!StartPosition(end, distance, length, start) || start < 1) return Outcome::Damaged;
  // Each byte read once, checked while it passes, written from where it was read.
  std::uint32_t crc = 0;
  for (std::size_t done = 0; done < total;) {
    const std::span<std::uint8_t> bytes(buffer.get(), std::min(chunk, total - done));
    const platform::DosError read = in.ReadAt(static_cast<std::uint64_t>(start) - 1 + done, bytes);
    if (read == platform::kErrorHandleEof) return Outcome::Damaged;
    if (read != platform::kErrorSuccess) return Outcome::Failed;
    if (expectedCrc) crc = Crc32(bytes, crc);
    if (out.Write(bytes) != platform::kErrorSuccess) return Outcome::Failed;
    done += bytes.size();
  }
  // Not what was packed: the piece is not taken, whatever the staging file holds.
  if (expectedCrc && crc != *expectedCrc) return Outcome::Damaged;
  out.Close();
  in.Close();
  return Outcome::Copied;
}

}  // namespace

bool ExtractPiece(std::wstring_view sourcePath, std::wstring_view destinationPath, std::int32_t length,
                  std::int32_t distance, std::optional<std::uint32_t> expectedCrc) {
  const std::wstring_view source = Trim(sourcePath);
  const std::wstring_view destination = Trim(destinationPath);
  platform::RawFile in;
  platform::RawFile out;
  const Outcome outcome = Copy(source, destination, length, distance, expectedCrc, in, out);
  if (outcome == Outcome::Copied) return true;

  in.Close();
  out.Close();
  std::wstring text;
  if (outcome == Outcome::Damaged) {
    // Nothing the user's disk or rights can mend: the download is what broke.
    text = L"The setup file '";
    text += source;
    text += L"' is damaged. Please download it again.";
  } else {
    // Always the destination's name, also when the package could not be read.
    text = L"File '";
    text += destination;
    text += L"' could not be written!";
  }
  platform::ShowMessageBox(text, platform::kBoxAlert, L"Error");
  return false;
}

}  // namespace vxr
