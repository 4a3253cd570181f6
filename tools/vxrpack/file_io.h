// Whole-file reads and atomic writes for the packing tool. Errors are returned
// as messages that name the offending path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vxr::pack {

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes into a temporary file in the destination's folder and renames it over
// the destination, so that a failed or interrupted run never leaves a partial
// file under that name. Creates the destination's folder when missing.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

// Removes a temporary file still being written when the process is stopped by
// SIGINT or SIGTERM (Ctrl+C, or a build system giving up).
void RemoveTemporaryFilesOnSignal();

// A path for messages, as the user would type it.
std::string Display(const std::filesystem::path& path);

}  // namespace vxr::pack
