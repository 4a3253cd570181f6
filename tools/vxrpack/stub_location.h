// Where vxrpack finds the setup stub when no --stub is given: installed with
// it, as a compiler finds its runtime, relative to the running program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vxr::pack {

// The places looked at, in order: ../share/vxr-setup/setup-stub.exe from the
// program's folder (an installation under a prefix, the Debian package), then
// setup-stub.exe in that folder (the Windows zip, and the build tree, where
// the host build links the win32 build's stub there). Empty when the
// program's own path is unknown.
std::vector<std::filesystem::path> DefaultStubPlaces();

// `given` when not empty, else the first default place that holds a file;
// else nothing, and `error` names the places looked at.
std::optional<std::filesystem::path> FindStub(const std::filesystem::path& given, std::string& error);

}  // namespace vxr::pack
