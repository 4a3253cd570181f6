// Copying one compressed piece, byte for byte, out of the package into a
// staging file of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vxr {

// Copies the `length` bytes that end `distance` bytes before the package's end
// into the destination, which ends up holding exactly those bytes. In a signed
// package (a certificate table that ends the file) the end is where that table
// starts. With `expectedCrc` the bytes must have that CRC-32.
//
// True on success. On any failure the user has been shown "File '<destination>'
// could not be written!", whatever failed; the destination may then exist.
bool ExtractPiece(std::wstring_view sourcePath, std::wstring_view destinationPath, std::int32_t length,
                  std::int32_t distance, std::optional<std::uint32_t> expectedCrc = std::nullopt);

}  // namespace vxr
