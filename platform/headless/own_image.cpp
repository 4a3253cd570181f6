// The running executable's file stands in for the image the loader would have
// mapped from it: a test that runs the setup "from" a package on a mapped drive
// sees that package's sections, as the real program sees its own.
#include "platform/own_image.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "format/pe_image.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace platform {

bool ReadOwnSection(std::span<const char, 8> name, std::span<std::uint8_t> out) {
  const auto host = headless::HostPath(headless::RunningExecutablePath());
  std::ifstream file(host, std::ios::binary);
  if (host.empty() || !file) return false;
  std::vector<std::uint8_t> headers(vxr::pe::kHeaderProbeBytes);
  file.read(reinterpret_cast<char*>(headers.data()), static_cast<std::streamsize>(headers.size()));
  headers.resize(static_cast<std::size_t>(file.gcount()));
  const auto section = vxr::pe::FindSection(headers, name);
  if (!section || std::min(section->virtualSize, section->rawSize) < out.size()) return false;
  file.clear();
  file.seekg(section->fileOffset);
  file.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return file.gcount() == static_cast<std::streamsize>(out.size());
}

}  // namespace platform
