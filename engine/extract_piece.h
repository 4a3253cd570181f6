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
// The destination is created new: an existing file of that name is a failure.
//
// True on success. On failure the user has been shown why: "The setup file
// '<source>' is damaged. Please download it again." when the bytes are not
// what was packed (a CRC-32 mismatch, or a package too short to hold the
// piece), else "File '<destination>' could not be written!"; the destination
// may then exist.
bool ExtractPiece(std::wstring_view sourcePath, std::wstring_view destinationPath, std::int32_t length,
                  std::int32_t distance, std::optional<std::uint32_t> expectedCrc = std::nullopt);

}  // namespace vxr
