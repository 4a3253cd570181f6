// The folder that holds the extracted pieces while the installation runs.
// It is always one the setup made itself in this run: a folder, link or
// junction that something else put under the temporary folder by that name
// is neither written through nor emptied.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace vxr {

class StagingFolder {
 public:
  // Makes "<temp>\VXRTMP", or when that name is taken, the first free one of
  // "<temp>\VXRTMP1" on. Any other failure is the result.
  platform::DosError Make(std::wstring_view tempDir);
  // The folder made; empty before Make succeeds.
  const std::wstring& Path() const { return path_; }
  // The staging file of a piece, remembered for Remove.
  std::wstring FileFor(std::wstring_view storedName);
  // Deletes the files it handed out, then the folder, and says nothing of
  // what refuses to go.
  void Remove();

 private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

}  // namespace vxr
