// SZDD compression with an optimal parse: the smallest file the format allows.
//
// Every literal costs 9 bits (a flag bit and the byte) and every match 17 bits
// (a flag bit and two bytes), whatever its length or distance. The file's size
// is ceil(bits / 8) plus the header, so the parse with the fewest bits is also
// the one with the fewest bytes, and only the longest match at each position
// matters: any shorter length down to 3 is available at the same distance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vxr::pack {

// Called now and then with the input bytes done so far and the total.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// A complete SZDD file (header and data) for `data`. `missingChar` is the last
// character of the expanded file's name, which the stored name replaces by '_'.
// Nothing when `data` is too large for the header's 32-bit size.
std::optional<std::vector<std::uint8_t>> CompressSzdd(std::span<const std::uint8_t> data, char missingChar,
                                                      const Progress& progress = {});

// The naming custom of COMPRESS -r: "Stop.wav" is stored as "Stop.wa_".
std::string StoredName(std::string_view installedName);
// The character the stored name drops; 0 for an empty name.
char MissingChar(std::string_view installedName);

}  // namespace vxr::pack
