#include "tests/support/test_machine.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "platform/headless/headless.h"

namespace vxr::test {

TestMachine::TestMachine() {
  static std::atomic<int> counter{0};
  root_ = std::filesystem::temp_directory_path() /
          ("vxr-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(root_);
  headless::Reset();
  AddDrive(L'C');
  MakeFolders(L"C:\\WINDOWS\\TEMP");
}

TestMachine::~TestMachine() {
  headless::Reset();
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

std::filesystem::path TestMachine::AddDrive(wchar_t letter) {
  auto folder = root_ / std::string(1, static_cast<char>(letter));
  std::filesystem::create_directories(folder);
  headless::MapDrive(letter, folder);
  return folder;
}

std::filesystem::path TestMachine::Host(std::wstring_view windowsPath) const {
  return headless::HostPath(windowsPath);
}

void TestMachine::MakeFolders(std::wstring_view windowsPath) const {
  std::filesystem::path host = Host(std::wstring(windowsPath.substr(0, 2)) + L"\\");
  std::wstring_view rest = windowsPath.substr(2);
  while (!rest.empty()) {
    const auto sep = rest.find(L'\\');
    const std::wstring part(rest.substr(0, sep));
    rest = sep == std::wstring_view::npos ? std::wstring_view{} : rest.substr(sep + 1);
    if (part.empty()) continue;
    host /= headless::HostName(part);
    std::filesystem::create_directory(host);
  }
}

void TestMachine::WriteFile(std::wstring_view windowsPath, std::string_view bytes) const {
  std::ofstream out(Host(windowsPath), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TestMachine::ReadFile(std::wstring_view windowsPath) const {
  std::ifstream in(Host(windowsPath), std::ios::binary);
  std::stringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace vxr::test
