// The running program's own image, as the loader mapped it from its file: the
// packing tool rewrites a section of that file, and the program reads it back.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// Copies the first out.size() bytes of the section named `name` (8 bytes,
// NUL-padded, as PE section names are). False when the image has no such
// section or its file holds fewer bytes of it.
bool ReadOwnSection(std::span<const char, 8> name, std::span<std::uint8_t> out);

}  // namespace platform
