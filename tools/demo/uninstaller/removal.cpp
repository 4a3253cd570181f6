#include "tools/demo/uninstaller/removal.h"

#include <string>
#include <vector>

#include "common/text.h"
#include "tools/demo/uninstaller/decimal.h"

namespace vxr::uninstaller {

namespace {

constexpr std::wstring_view kQuestion = L"Remove Tarvo's Screen Recorder and all of its components?";
constexpr std::wstring_view kRunning =
    L"Tarvo's Screen Recorder is currently running, please close it before removing it.\r\n\r\n"
    L"Press on Retry once it is closed, or on Cancel to keep it.";
constexpr std::wstring_view kRemoved = L"Tarvo's Screen Recorder was removed.";
constexpr std::wstring_view kNotRemoved =
    L"Tarvo's Screen Recorder could not be removed completely. These items are still there:\r\n";
constexpr std::wstring_view kFoldersKept =
    L"These folders were left in place because they hold files that were not installed with it:\r\n";
constexpr std::wstring_view kNoFolder = L"The folder of Tarvo's Screen Recorder could not be found.";
constexpr std::wstring_view kRoot = L"HKEY_LOCAL_MACHINE\\";

// The titles the setup's running-copy check looks for: the product runs when
// a main window and its settings window exist at the same time.
constexpr std::wstring_view kMainTitles[] = {L"Tarvo's Screen Recorder", L"VXR"};
constexpr std::wstring_view kSettingsTitle = L"Screen Recorder Settings";

// Product keys hold a few levels at most; a deeper chain is a loop of links.
constexpr int kMaxKeyDepth = 32;

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\0')) text.remove_suffix(1);
  return text;
}

std::wstring Join(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path.append(name);
}

// "C:\\..." or "\\\\server\\share\\...".
bool IsFullPath(std::wstring_view path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 5 && path.starts_with(L"\\\\") && path.find(L'\\', 2) != std::wstring_view::npos;
}

bool IsDriveRoot(std::wstring_view folder) {
  while (!folder.empty() && folder.back() == L'\\') folder.remove_suffix(1);
  return folder.size() <= 2;
}

// Windows compares paths without regard to case; the letters of the ASCII
// range are what the setup's default folders are made of.
bool SameFolder(std::wstring_view a, std::wstring_view b) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  while (!a.empty() && a.back() == L'\\') a.remove_suffix(1);
  while (!b.empty() && b.back() == L'\\') b.remove_suffix(1);
  return vxr::EqualIgnoringCase(a, b);
}

std::wstring Reason(Error error) {
  switch (error) {
    case kSuccess: return L"still there after it was deleted";
    case kErrorAccessDenied: return L"access denied";
    case kErrorSharingViolation: return L"in use";
    default: return L"error " + Decimal(error);
  }
}

bool ProductRunning(System& system) {
  bool main = false, settings = false;
  for (const std::wstring& title : system.WindowTitles()) {
    const std::wstring_view trimmed = TrimBlanks(title);
    for (const std::wstring_view name : kMainTitles) main = main || trimmed == name;
    settings = settings || trimmed == kSettingsTitle;
  }
  return main && settings;
}

// Removes items one by one and keeps account of what is still there: every
// item is looked at again after its removal, whatever the call answered.
class Removal {
 public:
  struct Item {
    std::wstring name;  // a path, or a key with its root
    Error error;        // what the removal answered
  };

  explicit Removal(System& system) : system_(system) {}

  // A file of that name; a folder of that name is not ours and stays.
  void File(const std::wstring& path) {
    if (system_.Kind(path) != PathKind::File) return;
    const Error error = system_.RemoveFile(path);
    if (system_.Kind(path) != PathKind::Missing) left_.push_back({path, error});
  }

  // The folder, if nothing else is in it. One that holds a user's files stays
  // and is mentioned; one that holds only what could not be removed is
  // already accounted for by those items.
  void Folder(const std::wstring& path) {
    if (system_.Kind(path) != PathKind::Folder) return;
    const Error error = system_.RemoveFolder(path);
    if (system_.Kind(path) == PathKind::Missing) return;
    if (system_.FolderIsEmpty(path)) {
      left_.push_back({path, error});
    } else if (!HoldsLeftItems(path)) {
      kept_.push_back(path);
    }
  }

  // The key with everything below it.
  void KeyTree(std::wstring_view key) {
    if (!system_.KeyExists(key)) return;
    const Error error = RemoveBelow(std::wstring(key), 0);
    if (system_.KeyExists(key)) left_.push_back({std::wstring(kRoot).append(key), error});
  }

  // The key, if nothing else is under it: no subkeys and no values.
  void KeyIfEmpty(std::wstring_view key) {
    if (!system_.KeyExists(key) || !system_.SubKeys(key).empty() || system_.HasValues(key)) return;
    const Error error = system_.RemoveKey(key);
    if (system_.KeyExists(key)) left_.push_back({std::wstring(kRoot).append(key), error});
  }

  const std::vector<Item>& Left() const { return left_; }
  const std::vector<std::wstring>& Kept() const { return kept_; }

 private:
  Error RemoveBelow(const std::wstring& key, int depth) {
    if (depth < kMaxKeyDepth)
      for (const std::wstring& name : system_.SubKeys(key)) RemoveBelow(key + L"\\" + name, depth + 1);
    return system_.RemoveKey(key);
  }

  bool HoldsLeftItems(std::wstring_view folder) const {
    for (const Item& item : left_) {
      const std::wstring_view name = item.name;
      if (name.size() > folder.size() && name[folder.size()] == L'\\' &&
          SameFolder(name.substr(0, folder.size()), folder))
        return true;
    }
    return false;
  }

  System& system_;
  std::vector<Item> left_;
  std::vector<std::wstring> kept_;
};

// The product key names the folder of the installation it belongs to. When
// that is another folder that still holds the product, the settings, the
// uninstall entry and the group are that installation's and stay.
std::wstring OtherInstallation(System& system, std::wstring_view installDir) {
  const auto stored = system.ReadText(kProductKey, L"Dizin");
  if (!stored) return {};
  const std::wstring_view folder = TrimBlanks(*stored);
  if (folder.empty() || SameFolder(folder, installDir)) return {};
  if (system.Kind(Join(folder, L"Screen Recorder.exe")) != PathKind::File) return {};
  return std::wstring(folder);
}

std::wstring ClosingText(const Removal& removal, std::wstring_view otherInstallation) {
  std::wstring text;
  if (removal.Left().empty()) {
    text = kRemoved;
  } else {
    text = kNotRemoved;
    for (const Removal::Item& item : removal.Left())
      text.append(L"\r\n").append(item.name).append(L" (").append(Reason(item.error)).append(L")");
  }
  if (!removal.Kept().empty()) {
    text.append(L"\r\n\r\n").append(kFoldersKept);
    for (const std::wstring& folder : removal.Kept()) text.append(L"\r\n").append(folder);
  }
  if (!otherInstallation.empty()) {
    text.append(
            L"\r\n\r\nIts registry settings and Start-menu group were left in place: they belong to the "
            L"installation in ")
        .append(otherInstallation)
        .append(L".");
  }
  return text;
}

}  // namespace

Outcome Uninstall(System& system, std::wstring_view installDir) {
  std::wstring dir(TrimBlanks(installDir));
  while (dir.size() > 3 && dir.back() == L'\\') dir.pop_back();
  // Names are only ever joined to a full path: relative to whatever folder is
  // current they could name anybody's files.
  if (!IsFullPath(dir)) {
    system.ShowBox(kNoFolder, kMbOk | kMbIconExclamation);
    return Outcome::Kept;
  }
  if (system.ShowBox(kQuestion, kMbYesNo | kMbIconQuestion) != kIdYes) return Outcome::Kept;
  while (ProductRunning(system))
    if (system.ShowBox(kRunning, kMbRetryCancel | kMbIconExclamation) != kIdRetry) return Outcome::Kept;

  // In the reverse order of the installation: files, folder, group, registry.
  Removal removal(system);
  for (const std::wstring_view name : kInstalledFiles) removal.File(Join(dir, name));
  if (!IsDriveRoot(dir)) removal.Folder(dir);

  const std::wstring other = OtherInstallation(system, dir);
  if (other.empty()) {
    for (const std::wstring& programs : system.ProgramsFolders()) {
      const std::wstring group = Join(programs, kGroupName);
      if (system.Kind(group) != PathKind::Folder) continue;
      for (const std::wstring_view link : kGroupLinks) removal.File(Join(group, link));
      removal.Folder(group);
    }
    removal.KeyTree(kUninstallKey);
    removal.KeyTree(kProductKey);
    removal.KeyIfEmpty(kVendorKey);
  }

  const bool complete = removal.Left().empty();
  system.ShowBox(ClosingText(removal, other), kMbOk | (complete ? kMbIconInformation : kMbIconExclamation));
  return complete ? Outcome::Removed : Outcome::PartlyRemoved;
}

}  // namespace vxr::uninstaller
