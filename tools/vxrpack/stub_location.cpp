#include "tools/vxrpack/stub_location.h"

#include <system_error>

#include "tools/vxrpack/file_io.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vxr::pack {
namespace {

namespace fs = std::filesystem;

// The running program's own file, with symbolic links resolved on Linux, so
// that a link in a bin folder on the PATH still leads to the installation.
std::optional<fs::path> OwnPath() {
#ifdef _WIN32
  // The path may be longer than MAX_PATH: grow until it fits.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring buffer(size, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (n == 0) return std::nullopt;
    if (n < size) return fs::path(buffer.substr(0, n));
  }
  return std::nullopt;
#else
  std::error_code ec;
  fs::path path = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return std::nullopt;
  return path;
#endif
}

}  // namespace

std::vector<fs::path> DefaultStubPlaces() {
  const auto own = OwnPath();
  if (!own) return {};
  const fs::path folder = own->parent_path();
  return {(folder / ".." / "share" / "vxr-setup" / "setup-stub.exe").lexically_normal(),
          folder / "setup-stub.exe"};
}

std::optional<fs::path> FindStub(const fs::path& given, std::string& error) {
  if (!given.empty()) return given;
  const auto places = DefaultStubPlaces();
  std::string looked;
  for (const fs::path& place : places) {
    std::error_code ec;
    if (fs::is_regular_file(place, ec)) return place;
    looked += (looked.empty() ? "" : ", ") + Display(place);
  }
  error = places.empty() ? "no --stub given, and vxrpack cannot tell where it is installed to look for one"
                         : "no --stub given, and no setup stub installed with vxrpack: looked at " + looked;
  return std::nullopt;
}

}  // namespace vxr::pack
