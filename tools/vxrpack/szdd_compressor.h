// SZDD compression with an optimal parse: the smallest file the format allows.
//
// Every literal costs 9 bits (a flag bit and the byte) and every match 17 bits
// (a flag bit and two bytes), whatever its length or distance. The file's size
// is ceil(bits / 8) plus the header, so the parse with the fewest bits is also
// the one with the fewest bytes, and only the longest match at each position
// matters: any shorter length down to 3 is available at the same distance.
//
// Two forms, one compressor: a whole file in memory, and a stream that holds
// only the window, one input block and the positions whose parse is still open,
// whatever the file's size. Both give the same bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codec/szdd_expander.h"
#include "codec/szdd_format.h"
#include "tools/vxrpack/optimal_parse.h"

namespace vxr::pack {

// Called now and then with the input bytes done so far and the total.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The largest input: the header holds a 32-bit size, and positions inside the
// compressor are 32-bit with the window's starting spaces in front.
inline constexpr std::uint64_t kMaxInputSize = 0xFFFFFFFFu - 2 * szdd::kWindowSize;

// A complete SZDD file (header and data) for `data`. `missingChar` is the last
// character of the expanded file's name, which the stored name replaces by '_'.
// Nothing when `data` is larger than kMaxInputSize.
std::optional<std::vector<std::uint8_t>> CompressSzdd(std::span<const std::uint8_t> data, char missingChar,
                                                      const Progress& progress = {});

// The header of an SZDD file of `expandedSize` bytes.
std::array<std::uint8_t, szdd::kHeaderSize> SzddHeader(char missingChar, std::uint32_t expandedSize);

enum class CompressResult { kOk, kReadFailed, kWriteFailed, kTooLarge };

struct StreamOptions {
  // For the progress reports only.
  std::uint64_t expectedSize = 0;
  Progress progress;
  // Positions whose parse is settled at a time, and the most that may wait;
  // smaller only to test the settling.
  std::size_t settleBatch = std::size_t{1} << 16;
  std::size_t pendingLimit = std::size_t{1} << 22;
  // Filled in, when given, with how the parse went.
  ParseStats* stats = nullptr;
};

// Compresses everything `in` gives into the SZDD data that follows the header,
// written to `out`; `size` receives the bytes read. The caller writes the
// header, whose size field is known only at the end.
CompressResult CompressStream(szdd::ByteSource& in, szdd::ByteSink& out, std::uint64_t& size,
                              const StreamOptions& options = {});

// The naming custom of COMPRESS -r: "Stop.wav" is stored as "Stop.wa_".
std::string StoredName(std::string_view installedName);
// The character the stored name drops; 0 for an empty name.
char MissingChar(std::string_view installedName);

}  // namespace vxr::pack
