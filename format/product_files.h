// The product's files as a package carries them: eight, by installed name, in
// the payload table's order (the order of installation, the reverse of the
// order in the package).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/payload_format.h"

namespace vxr::payload {

inline constexpr std::array<std::string_view, kPieceCount> kProductFiles = {
    "Screen Recorder.exe", "Stop.wav", "Start.wav",         "Shot.wav",
    "Click.wav",           "Beep.wav", "Uninstall VXR.exe", "VXR.chm"};

struct ProductFile {
  std::string installedName;
  std::vector<std::uint8_t> bytes;
};

}  // namespace vxr::payload
