#include "tests/support/test_machine.h"

#include "platform/headless/headless.h"

namespace vxr::test {

TestMachine::TestMachine() {
  headless::Reset();
  AddDrive(L'C');
  MakeFolders(L"C:\\WINDOWS\\TEMP");
}

// Before the folders go, so that nothing of the platform's still points there.
TestMachine::~TestMachine() { headless::Reset(); }

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
  std::filesystem::create_directories(Host(windowsPath));
}

void TestMachine::WriteFile(std::wstring_view windowsPath, std::string_view bytes) const {
  test::WriteFile(Host(windowsPath), Bytes(bytes.begin(), bytes.end()));
}

std::string TestMachine::ReadFile(std::wstring_view windowsPath) const {
  const Bytes bytes = test::ReadFile(Host(windowsPath));
  return {bytes.begin(), bytes.end()};
}

}  // namespace vxr::test
