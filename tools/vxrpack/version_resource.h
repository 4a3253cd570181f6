// The version resource (VS_VERSIONINFO) of a PE image, as `vxrpack --version`
// reports it for the setup stub. The image is untrusted (any file given with
// --stub): every offset is checked, and a damaged resource is an error.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vxr::pack {

struct ImageVersion {
  std::array<std::uint16_t, 4> product{};  // the fixed file info's product version
  std::string productText;                 // the "ProductVersion" string; empty when there is none
};

// The image's version, or nothing with `error` saying why (it reads after the
// file's name: "has no version resource").
std::optional<ImageVersion> ReadImageVersion(std::span<const std::uint8_t> image, std::string& error);

// "2.4.0.0"
std::string Dotted(const std::array<std::uint16_t, 4>& numbers);

}  // namespace vxr::pack
