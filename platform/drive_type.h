// What kind of drive holds a root ("c:\"), as GetDriveType tells it.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Windows' drive type codes.
inline constexpr std::uint32_t kDriveUnknown = 0;
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kDriveRemovable = 2;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kDriveRemote = 4;
inline constexpr std::uint32_t kDriveCdRom = 5;
inline constexpr std::uint32_t kDriveRamDisk = 6;

// The type code of the drive whose root is `root` (drive letter, colon, backslash).
std::uint32_t DriveTypeOf(std::wstring_view root);

}  // namespace platform
