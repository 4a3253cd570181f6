// What an installation changed in the destination, so that a cancelled or
// failed installation leaves it as it found it: folders it made, files it
// added, and the earlier files it replaced, which it keeps aside under another
// name until the installation has finished.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vxr {

class FileJournal {
 public:
  // The name an earlier file is kept under while the installation runs.
  static std::wstring KeptName(std::wstring_view file) { return std::wstring(file) + L".vxr-old"; }

  void MadeFolder(std::wstring_view folder) { changes_.push_back({Kind::Folder, std::wstring(folder), {}}); }
  void AddedFile(std::wstring_view file) { changes_.push_back({Kind::Added, std::wstring(file), {}}); }
  void ReplacedFile(std::wstring_view file) {
    changes_.push_back({Kind::Replaced, std::wstring(file), KeptName(file)});
  }

  // Undoes every change, the newest first, and forgets them. What could not
  // be set back comes back as lines for the user; nothing is lost on the way:
  // an earlier file that cannot take its name again stays under its kept name.
  std::vector<std::wstring> RollBack();
  // The installation has finished: the earlier files kept aside are deleted.
  void Commit();

 private:
  enum class Kind : std::uint8_t { Folder, Added, Replaced };
  struct Change {
    Kind kind;
    std::wstring path;
    std::wstring keptAs;
  };
  std::vector<Change> changes_;
};

}  // namespace vxr
