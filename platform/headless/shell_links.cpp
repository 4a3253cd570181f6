// Links as small text files a test can read back: the target and the
// arguments, UTF-8, one per line; the name is the file's.
#include "platform/shell_links.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/headless/headless.h"
#include "platform/headless/shell_control.h"

namespace headless {
namespace {

constexpr char kMagic[] = "[headless shell link]";

std::wstring& Programs() {
  static std::wstring folder;
  return folder;
}
void ResetShell() {
  Programs() = L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
}
const ResetHook shellHook{&ResetShell};

std::string Utf8(std::wstring_view text) {
  std::string out;
  for (wchar_t wc : text) {
    const auto c = static_cast<std::uint32_t>(wc);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    std::uint32_t c = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < text.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3Fu);
    out.push_back(static_cast<wchar_t>(c));
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

}  // namespace

void SetProgramsFolder(std::wstring path) { Programs() = std::move(path); }

std::optional<ShellLink> ReadShellLink(std::wstring_view linkPath) {
  std::ifstream in(HostPath(linkPath), std::ios::binary);
  std::string magic, target, arguments;
  if (!in || !std::getline(in, magic) || magic != kMagic || !std::getline(in, target)) return std::nullopt;
  std::getline(in, arguments);
  return ShellLink{FromUtf8(target), FromUtf8(arguments)};
}

}  // namespace headless

namespace platform {

std::wstring ProgramsFolder() { return headless::Programs(); }

DosError CreateShellLink(std::wstring_view linkPath, std::wstring_view target, std::wstring_view arguments) {
  if (const auto injected = headless::TakeInjectedFailure("CreateShellLink", linkPath)) return injected;
  const auto host = headless::HostPath(linkPath);
  std::error_code ec;
  if (host.empty() || !std::filesystem::is_directory(host.parent_path(), ec)) return kErrorPathNotFound;
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << headless::kMagic << '\n' << headless::Utf8(target) << '\n' << headless::Utf8(arguments) << '\n';
  out.close();
  return out ? kErrorSuccess : kErrorAccessDenied;
}

}  // namespace platform
