#include "engine/file_journal.h"

#include "platform/files.h"

namespace vxr {

std::vector<std::wstring> FileJournal::RollBack() {
  std::vector<std::wstring> failures;
  for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
    switch (change->kind) {
      case Kind::Replaced:
        if (platform::MoveReplacing(change->keptAs, change->path) != platform::kErrorSuccess)
          failures.push_back(change->path + L": the earlier file is kept as " + change->keptAs);
        break;
      case Kind::Added:
        if (platform::DeleteOneFile(change->path) != platform::kErrorSuccess &&
            platform::FileExists(change->path))
          failures.push_back(change->path + L" could not be removed");
        break;
      case Kind::Folder:
        // A folder that holds something else by now is somebody's: it stays.
        platform::RemoveEmptyDirectory(change->path);
        break;
    }
  }
  changes_.clear();
  return failures;
}

void FileJournal::Commit() {
  for (const Change& change : changes_)
    if (change.kind == Kind::Replaced) platform::DeleteOneFile(change.keptAs);
  changes_.clear();
}

}  // namespace vxr
