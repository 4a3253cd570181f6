// A fresh headless machine for one test: the platform's state reset and drive
// C: mapped to a new folder of the test's own, removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tests/support/corpus.h"

namespace vxr::test {

class TestMachine {
 public:
  TestMachine();
  ~TestMachine();

  // Maps another drive letter to a new folder and returns it.
  std::filesystem::path AddDrive(wchar_t letter);
  // The host path of a Windows path on a mapped drive.
  std::filesystem::path Host(std::wstring_view windowsPath) const;
  // Makes the folders of a Windows path; writes a file with `bytes`.
  void MakeFolders(std::wstring_view windowsPath) const;
  void WriteFile(std::wstring_view windowsPath, std::string_view bytes) const;
  std::string ReadFile(std::wstring_view windowsPath) const;

 private:
  ScratchDir root_{"test"};
};

}  // namespace vxr::test
