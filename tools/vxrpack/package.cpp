#include "tools/vxrpack/package.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "codec/szdd_expander.h"
#include "codec/szdd_format.h"
#include "common/crc32.h"
#include "format/pe_image.h"

namespace vxr::pack {
namespace {

using payload::PieceEntry;
using payload::Table;

// osslsigncode and signtool pad the file to a multiple of 8 before they append
// the certificate table. Padding there would sit behind the last piece and
// move every piece, so the package is made a multiple of 8 long to begin with,
// with the zeros in front of the first piece, where they are harmless.
constexpr std::size_t kSignatureAlignment = 8;

bool SetName(char (&to)[payload::kNameBytes], std::string_view name) {
  if (name.empty() || name.size() >= payload::kNameBytes) return false;
  std::memset(to, 0, sizeof to);
  std::memcpy(to, name.data(), name.size());
  return true;
}

std::string GetName(const char (&from)[payload::kNameBytes]) {
  const void* nul = std::memchr(from, '\0', sizeof from);
  const std::size_t n = nul ? static_cast<const char*>(nul) - from : sizeof from;
  return std::string(from, n);
}

std::uint32_t ExpandedSizeField(std::span<const std::uint8_t> piece) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | piece[szdd::kOffsetExpandedSize + static_cast<std::size_t>(i)];
  return v;
}

Table ReadTable(std::span<const std::uint8_t> image, std::size_t at) {
  Table table;
  std::memcpy(&table, image.data() + at, sizeof table);
  return table;
}

}  // namespace

bool PackageCheck::AllSound() const {
  return std::all_of(pieces.begin(), pieces.end(), [](const PieceReport& p) { return p.problem.empty(); });
}

std::optional<std::size_t> LocateTable(std::span<const std::uint8_t> image, std::string& error) {
  if (!pe::ParseHeaders(image)) {
    error = "not a PE image (no readable MZ/PE headers)";
    return std::nullopt;
  }
  const auto section = pe::FindSection(image, payload::kSectionName);
  if (!section) {
    error = "has no .vxrpay section for the payload table (not a VXR setup stub?)";
    return std::nullopt;
  }
  if (section->rawSize < sizeof(Table) || section->fileOffset > image.size() ||
      image.size() - section->fileOffset < sizeof(Table)) {
    error = "its .vxrpay section is too small for the payload table";
    return std::nullopt;
  }
  const Table table = ReadTable(image, section->fileOffset);
  if (table.magic != payload::kMagic) {
    error = "its .vxrpay section does not start with the payload table's magic";
    return std::nullopt;
  }
  if (table.version != payload::kFormatVersion || table.count != payload::kPieceCount) {
    error = "its payload table has version " + std::to_string(table.version) + " with " +
            std::to_string(table.count) + " pieces; this vxrpack writes version " +
            std::to_string(payload::kFormatVersion) + " with " + std::to_string(payload::kPieceCount);
    return std::nullopt;
  }
  return section->fileOffset;
}

bool BuildPackage(std::span<const std::uint8_t> stub, std::span<const ProductFile> files, BuiltPackage& out,
                  std::string& error, const Progress& progress) {
  const auto tableAt = LocateTable(stub, error);
  if (!tableAt) return false;
  if (const auto headers = pe::ParseHeaders(stub); headers && headers->securitySize != 0) {
    // Its signature could not survive the rewritten table anyway.
    error = "is signed; build the package from an unsigned stub and sign the package instead";
    return false;
  }
  if (files.size() != payload::kPieceCount) {
    error = "the product needs " + std::to_string(payload::kPieceCount) + " files";
    return false;
  }

  std::uint64_t total = 0;
  for (const ProductFile& f : files) total += f.bytes.size();
  std::uint64_t done = 0;

  std::vector<std::vector<std::uint8_t>> pieces;
  out = BuiltPackage{};
  Table table = ReadTable(stub, *tableAt);
  std::int64_t distance = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ProductFile& file = files[i];
    Progress pieceProgress;
    if (progress) {
      pieceProgress = [&](std::uint64_t d, std::uint64_t) { progress(done + d, total); };
    }
    auto piece = CompressSzdd(file.bytes, MissingChar(file.installedName), pieceProgress);
    done += file.bytes.size();
    if (!piece) {
      error = file.installedName + ": too large for the SZDD format";
      return false;
    }
    // The expander the setup itself uses must give the file back, byte for byte.
    std::vector<std::uint8_t> expanded;
    const std::int32_t n = szdd::ExpandBuffer(*piece, expanded);
    if (n < 0 || static_cast<std::uint64_t>(n) != file.bytes.size() || expanded != file.bytes) {
      error = file.installedName + ": internal error: the compressed piece does not expand to the file";
      return false;
    }

    PieceReport report;
    report.installedName = file.installedName;
    report.storedName = StoredName(file.installedName);
    report.originalSize = file.bytes.size();
    if (piece->size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        distance > std::numeric_limits<std::int32_t>::max()) {
      error = file.installedName + ": the package would exceed 2 GiB, which the setup cannot address";
      return false;
    }
    report.length = static_cast<std::int32_t>(piece->size());
    report.distance = static_cast<std::int32_t>(distance);
    report.crc32 = Crc32(*piece);
    report.hasCrc = true;

    PieceEntry& entry = table.pieces[i];
    if (!SetName(entry.storedName, report.storedName) ||
        !SetName(entry.installedName, report.installedName)) {
      error = file.installedName + ": the name must have 1 to " + std::to_string(payload::kNameBytes - 1) +
              " bytes";
      return false;
    }
    entry.length = report.length;
    entry.distance = report.distance;
    entry.crc32 = report.crc32;
    entry.flags = payload::kHasCrc;

    distance += report.length;
    out.pieces.push_back(std::move(report));
    pieces.push_back(std::move(*piece));
  }

  const std::uint64_t payloadBytes = static_cast<std::uint64_t>(distance);
  out.stubSize = stub.size();
  out.padding =
      (kSignatureAlignment - (stub.size() + payloadBytes) % kSignatureAlignment) % kSignatureAlignment;
  const std::uint64_t size = stub.size() + out.padding + payloadBytes;
  if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    error = "the package would exceed 2 GiB, which the setup cannot address";
    return false;
  }

  out.bytes.reserve(static_cast<std::size_t>(size));
  out.bytes.assign(stub.begin(), stub.end());
  std::memcpy(out.bytes.data() + *tableAt, &table, sizeof table);
  out.bytes.resize(out.bytes.size() + out.padding, 0);
  // File order is the reverse of the table: the help file first, the main program last.
  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
    out.bytes.insert(out.bytes.end(), it->begin(), it->end());
  return true;
}

bool CheckPackage(std::span<const std::uint8_t> package, PackageCheck& out, std::string& error) {
  const auto tableAt = LocateTable(package, error);
  if (!tableAt) return false;
  const Table table = ReadTable(package, *tableAt);

  // The same end as the setup's extraction: the start of a certificate table
  // that ends the file, else the end of the file.
  out = PackageCheck{};
  out.payloadEnd = package.size();
  if (const auto headers = pe::ParseHeaders(package);
      headers && headers->securitySize != 0 &&
      std::uint64_t{headers->securityOffset} + headers->securitySize == package.size()) {
    out.signedPackage = true;
    out.payloadEnd = headers->securityOffset;
  }

  for (const PieceEntry& entry : table.pieces) {
    PieceReport report;
    report.storedName = GetName(entry.storedName);
    report.installedName = GetName(entry.installedName);
    report.length = entry.length;
    report.distance = entry.distance;
    report.crc32 = entry.crc32;
    report.hasCrc = (entry.flags & payload::kHasCrc) != 0;

    const std::int64_t start = static_cast<std::int64_t>(out.payloadEnd) - entry.distance - entry.length;
    if (entry.length < 1 || entry.distance < 0 || start < 0) {
      report.problem = "outside the package";
      out.pieces.push_back(std::move(report));
      continue;
    }
    const auto piece =
        package.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(entry.length));
    if (report.hasCrc && Crc32(piece) != entry.crc32) {
      report.problem = "CRC-32 mismatch";
    } else if (!szdd::HasHeader(piece) || piece.size() < szdd::kHeaderSize) {
      report.problem = "no SZDD header";
    } else {
      std::vector<std::uint8_t> expanded;
      const std::int32_t n = szdd::ExpandBuffer(piece, expanded);
      report.originalSize = n < 0 ? 0 : static_cast<std::uint64_t>(n);
      if (n < 0) {
        report.problem = "does not expand (LZERROR " + std::to_string(n) + ")";
      } else if (static_cast<std::uint64_t>(n) != ExpandedSizeField(piece)) {
        report.problem = "expands to " + std::to_string(n) + " bytes, header says " +
                         std::to_string(ExpandedSizeField(piece));
      } else if (report.installedName.empty() ||
                 piece[szdd::kOffsetMissingChar] != static_cast<std::uint8_t>(report.installedName.back())) {
        report.problem = "header's missing character does not match the installed name";
      }
    }
    out.pieces.push_back(std::move(report));
  }
  return true;
}

}  // namespace vxr::pack
