#include "registration/program_group.h"

#include "platform/dde.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/raw_file.h"
#include "platform/shell_links.h"

namespace vxr {

namespace {

std::wstring LinkOf(const std::wstring& folder, const GroupItem& item) {
  return folder + L"\\" + item.name + L".lnk";
}

// Program Manager's command for an item: the quoted path, the arguments after
// it, then the name ("[additem("D\file" args,Name)]").
std::wstring AddItemCommand(std::wstring_view dir, const GroupItem& item) {
  std::wstring command = L"[additem(\"";
  command.append(dir).append(L"\\").append(item.file).append(L"\"");
  if (*item.arguments) command.append(L" ").append(item.arguments);
  command.append(L",").append(item.name).append(L")]");
  return command;
}

// Makes every missing folder of `path` ("C:\a\b"); true when it is a folder afterwards.
bool MakeFolders(std::wstring_view path) {
  if (platform::PathExists(path)) return !platform::FileExists(path);
  for (std::size_t sep = path.find(L'\\', 3); sep != std::wstring_view::npos; sep = path.find(L'\\', sep + 1))
    platform::MakeDirectory(path.substr(0, sep));
  platform::MakeDirectory(path);
  return platform::PathExists(path) && !platform::FileExists(path);
}

// Program Manager while it carries the commands out. A server that refused or
// fell silent once is not asked again: a late answer to an abandoned command
// must not race the setup's own work.
class ProgramManager {
 public:
  ProgramManager() { shell_.Open(L"Progman", L"progman"); }
  bool CarriesOut(const std::wstring& command) {
    if (!shell_.IsOpen()) return false;
    if (shell_.Execute(command, kProgmanWaitMilliseconds) == platform::DdeAnswer::Acknowledged) return true;
    shell_.Close();
    return false;
  }
  void Close() { shell_.Close(); }

 private:
  platform::DdeConversation shell_;
};

// A link file's bytes; false for anything unreadable or too large to be one.
bool ReadLink(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
  constexpr std::uint64_t kLargestLink = 64 * 1024;  // a link is a few hundred bytes
  platform::RawFile file;
  std::uint64_t length = 0;
  if (file.OpenForReading(path) || file.Length(length) || length > kLargestLink) return false;
  bytes.resize(static_cast<std::size_t>(length));
  return file.ReadAt(0, bytes) == platform::kErrorSuccess;
}

}  // namespace

std::wstring GroupFolder() {
  const std::wstring programs = platform::ProgramsFolder();
  return programs.empty() ? programs : programs + L"\\" + kGroupName;
}

std::vector<std::wstring> CreateProgramGroup(std::wstring_view dir, InstallUi& ui) {
  ui.SetStatusLine(L"Shortcuts are being created...");
  const std::wstring folder = GroupFolder();

  ProgramManager progman;
  if (!progman.CarriesOut(std::wstring(L"[CreateGroup(") + kGroupName + L")]") && !folder.empty())
    MakeFolders(folder);
  std::vector<const GroupItem*> offered;
  for (const GroupItem& item : kGroupItems) {
    // Hidden or system files count as absent: their items are left out.
    if (item.onlyWhenPresent && !platform::NormalFileExists(std::wstring(dir) + L"\\" + item.file)) continue;
    offered.push_back(&item);
    if (progman.CarriesOut(AddItemCommand(dir, item)) || folder.empty()) continue;
    // The group may have been made by Program Manager before it stopped answering.
    if (MakeFolders(folder))
      platform::CreateShellLink(LinkOf(folder, item), std::wstring(dir) + L"\\" + item.file, item.arguments);
  }
  progman.Close();

  ui.RefreshWindow();
  platform::ProcessPendingEvents();
  ui.RefreshWindow();

  std::vector<std::wstring> missing;
  for (const GroupItem* item : offered)
    if (folder.empty() || !platform::FileExists(LinkOf(folder, *item))) missing.emplace_back(item->name);
  return missing;
}

GroupSnapshot GroupSnapshot::Take() {
  GroupSnapshot snapshot;
  snapshot.folder_ = GroupFolder();
  if (snapshot.folder_.empty()) return snapshot;
  snapshot.folderExisted_ = platform::PathExists(snapshot.folder_);
  for (std::size_t i = 0; i < kGroupItems.size(); ++i) {
    const std::wstring link = LinkOf(snapshot.folder_, kGroupItems[i]);
    if (!platform::FileExists(link)) continue;
    // Kept whole, so that a link the step replaced gets back its earlier target.
    std::vector<std::uint8_t> bytes;
    if (ReadLink(link, bytes))
      snapshot.links_[i] = std::move(bytes);
    else
      snapshot.kept_[i] = true;
  }
  return snapshot;
}

std::vector<std::wstring> GroupSnapshot::Restore() const {
  std::vector<std::wstring> failures;
  if (folder_.empty()) return failures;
  for (std::size_t i = 0; i < kGroupItems.size(); ++i) {
    if (kept_[i]) continue;
    const std::wstring link = LinkOf(folder_, kGroupItems[i]);
    platform::DosError error = platform::kErrorSuccess;
    if (links_[i]) {
      platform::RawFile file;
      error = file.OpenForWriting(link);
      if (!error) error = file.Write(*links_[i]);
    } else if (platform::FileExists(link)) {
      error = platform::DeleteOneFile(link);
    }
    if (error) failures.push_back(link + L" could not be set back");
  }
  // Emptied of what the step added, unless something else is in it by now.
  if (!folderExisted_) platform::RemoveEmptyDirectory(folder_);
  return failures;
}

}  // namespace vxr
