// Building a package (the setup stub followed by the product's compressed
// pieces) and checking one, in memory. The stub carries the payload table in
// its `.vxrpay` section; building rewrites that table for the pieces it
// appends.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/payload_format.h"
#include "format/product_files.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {

using payload::kProductFiles;
using payload::ProductFile;

struct PieceReport {
  std::string storedName;
  std::string installedName;
  std::uint64_t originalSize = 0;  // expanded
  std::int32_t length = 0;         // compressed
  std::int32_t distance = 0;
  std::uint32_t crc32 = 0;
  bool hasCrc = false;
  // Filled by CheckPackage: empty when the piece is sound, else what is wrong.
  std::string problem;
};

struct BuiltPackage {
  std::vector<std::uint8_t> bytes;
  std::vector<PieceReport> pieces;  // table order
  std::size_t stubSize = 0;
  std::size_t padding = 0;  // zero bytes between the stub and the first piece
};

// Where the payload table sits in a PE image: the file offset of its
// `.vxrpay` section's data, checked for magic, version and piece count.
std::optional<std::size_t> LocateTable(std::span<const std::uint8_t> image, std::string& error);

// Compresses `files` (table order, names as kProductFiles), checks that every
// piece expands back to its file, and lays out stub, table and pieces.
bool BuildPackage(std::span<const std::uint8_t> stub, std::span<const ProductFile> files, BuiltPackage& out,
                  std::string& error, const Progress& progress = {});

struct PackageCheck {
  std::vector<PieceReport> pieces;  // table order
  bool signedPackage = false;       // pieces end where the certificate table starts
  std::size_t payloadEnd = 0;
  bool AllSound() const;
};

// Reads the table of a package and checks each piece as the setup would take
// it: counted back from the end of the file (or from the start of the
// certificate table of a signed package), CRC-32, SZDD header, expansion.
bool CheckPackage(std::span<const std::uint8_t> package, PackageCheck& out, std::string& error);

}  // namespace vxr::pack
