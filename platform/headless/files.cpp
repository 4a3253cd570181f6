// Files on the host file system under a drive map; names matched without regard
// to case, as on Windows.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <map>
#include <set>
#include <system_error>

#include "platform/drive_type.h"
#include "platform/headless/drive_map.h"
#include "platform/headless/headless.h"

namespace fs = std::filesystem;

namespace headless {
namespace {

struct Injected {
  std::string operation;
  std::wstring prefix;
  platform::DosError error;
  int count;
};

struct FileState {
  std::map<wchar_t, DriveEntry> drives;  // by lower-case letter
  wchar_t currentDrive = L'c';
  std::set<std::wstring> hiddenOrSystem;  // lower-case Windows paths
  std::vector<Injected> injected;
};

FileState& F() {
  static FileState state;
  return state;
}
void ResetFiles() { F() = FileState{}; }
const ResetHook filesHook{&ResetFiles};

std::wstring Lower(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

std::wstring Normalised(std::wstring_view path) {
  std::wstring out = Lower(path);
  for (auto& c : out)
    if (c == L'/') c = L'\\';
  while (out.size() > 3 && out.back() == L'\\') out.pop_back();
  return out;
}

// The existing entry of `dir` whose name equals `name` without regard to case.
fs::path MatchEntry(const fs::path& dir, const std::wstring& name) {
  std::error_code ec;
  const fs::path exact = dir / HostName(name);
  if (fs::exists(exact, ec)) return exact;
  const std::wstring wanted = Lower(name);
  const std::string host = exact.filename().native();
  // Names of another length in UTF-8 cannot match but for letters outside
  // ASCII, whose case may change their length: only those are converted.
  const bool ascii = std::all_of(host.begin(), host.end(), [](char c) { return (c & 0x80) == 0; });
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().native();
    if (ascii && entry.size() != host.size()) continue;
    if (Lower(WindowsName(it->path().filename())) == wanted) return it->path();
  }
  return exact;
}

}  // namespace

namespace {
wchar_t LowerLetter(wchar_t letter) {
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(letter)));
}
DriveEntry& Entry(wchar_t letter) { return F().drives[LowerLetter(letter)]; }
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
}  // namespace

void MapDrive(wchar_t letter, const fs::path& folder) { Entry(letter).folder = folder; }
void SetDriveType(wchar_t letter, std::uint32_t type) { Entry(letter).type = type; }
void SetVolumeLabel(wchar_t letter, std::wstring label) { Entry(letter).label = std::move(label); }
void SetDriveReady(wchar_t letter, bool ready) { Entry(letter).ready = ready; }
void SetFreeBytes(wchar_t letter, std::uint64_t bytes) { Entry(letter).freeBytes = bytes; }

void SetCurrentFolder(std::wstring_view path, bool currentDrive) {
  if (path.size() < 2 || path[1] != L':') return;
  Entry(path[0]).currentFolder = FullPath(path);
  if (currentDrive) F().currentDrive = LowerLetter(path[0]);
}

const DriveEntry* FindDrive(wchar_t letter) {
  const auto drive = F().drives.find(LowerLetter(letter));
  return drive == F().drives.end() ? nullptr : &drive->second;
}

std::wstring DriveLetters() {
  std::wstring letters;
  for (const auto& [letter, entry] : F().drives) letters += letter;
  return letters;
}

std::wstring CurrentFolderOf(wchar_t letter) {
  const DriveEntry* drive = FindDrive(letter);
  if (drive && !drive->currentFolder.empty()) return drive->currentFolder;
  return {static_cast<wchar_t>(std::towupper(static_cast<wint_t>(letter))), L':', L'\\'};
}

std::wstring CurrentDirectory() { return CurrentFolderOf(F().currentDrive); }

std::wstring FullPath(std::wstring_view path) {
  std::wstring base;
  if (path.size() >= 2 && path[1] == L':') {
    // "d:\x" is absolute; "d:" and "d:x" start from the drive's current folder.
    if (path.size() >= 3 && IsSeparator(path[2]))
      base = std::wstring{path[0], L':', L'\\'};
    else
      base = CurrentFolderOf(path[0]);
    path.remove_prefix(2);
  } else if (!path.empty() && IsSeparator(path[0])) {
    base = CurrentDirectory().substr(0, 3);
  } else {
    base = CurrentDirectory();
  }
  // The root stays; "." and ".." are resolved, separators made single backslashes.
  std::wstring full = base.substr(0, 3);
  full[0] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(full[0])));
  std::wstring rest = base.substr(3) + L"\\" + std::wstring(path);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::wstring_view part(rest.data() + start, end - start);
    if (part == L"..") {
      const auto cut = full.find_last_of(L'\\');
      full.resize(cut <= 2 ? 3 : cut);
    } else if (!part.empty() && part != L".") {
      if (full.size() > 3) full += L'\\';
      full += part;
    }
    start = end + 1;
  }
  return full;
}

bool IsFolder(std::wstring_view windowsPath) {
  const auto host = HostPath(windowsPath);
  std::error_code ec;
  return !host.empty() && fs::is_directory(host, ec);
}

fs::path HostPath(std::wstring_view windowsPath) {
  if (windowsPath.size() < 2 || windowsPath[1] != L':') return {};
  const DriveEntry* drive = FindDrive(windowsPath[0]);
  // A drive without its medium has nothing on it.
  if (!drive || drive->folder.empty() || !drive->ready) return {};
  std::wstring_view rest = windowsPath.substr(2);
  // Most paths name their folders as the host has them: one look for the
  // whole path, or for its folder when the last name is yet to be made.
  std::vector<std::wstring_view> parts;
  bool plain = true;
  for (std::wstring_view left = rest; !left.empty();) {
    const auto sep = left.find_first_of(L"\\/");
    const std::wstring_view part = left.substr(0, sep);
    left = sep == std::wstring_view::npos ? std::wstring_view{} : left.substr(sep + 1);
    if (part == L"." || part == L"..") plain = false;
    if (!part.empty()) parts.push_back(part);
  }
  if (plain && !parts.empty()) {
    fs::path exact = drive->folder;
    for (const auto part : parts) exact /= HostName(part);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    if (fs::is_directory(exact.parent_path(), ec))
      return MatchEntry(exact.parent_path(), std::wstring(parts.back()));
  }
  fs::path host = drive->folder;
  while (!rest.empty()) {
    const auto sep = rest.find_first_of(L"\\/");
    const std::wstring part(rest.substr(0, sep));
    rest = sep == std::wstring_view::npos ? std::wstring_view{} : rest.substr(sep + 1);
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (host != drive->folder) host = host.parent_path();
      continue;
    }
    host = MatchEntry(host, part);
  }
  return host;
}

void SetHiddenOrSystem(std::wstring_view windowsPath, bool hiddenOrSystem) {
  if (hiddenOrSystem)
    F().hiddenOrSystem.insert(Normalised(windowsPath));
  else
    F().hiddenOrSystem.erase(Normalised(windowsPath));
}
bool IsHiddenOrSystem(std::wstring_view windowsPath) {
  return F().hiddenOrSystem.count(Normalised(windowsPath)) != 0;
}

void InjectFailure(std::string_view operation, std::wstring_view pathPrefix, platform::DosError error,
                   int count) {
  F().injected.push_back({std::string(operation), Normalised(pathPrefix), error, count});
}

platform::DosError TakeInjectedFailure(std::string_view operation, std::wstring_view path) {
  const std::wstring normal = Normalised(path);
  for (auto it = F().injected.begin(); it != F().injected.end(); ++it) {
    if (it->operation == operation && normal.compare(0, it->prefix.size(), it->prefix) == 0) {
      const auto error = it->error;
      if (--it->count <= 0) F().injected.erase(it);
      return error;
    }
  }
  return platform::kErrorSuccess;
}

platform::DosError DosErrorFromErrno(int error, bool parentMissing) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return parentMissing ? platform::kErrorPathNotFound : platform::kErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return platform::kErrorAccessDenied;
    case EMFILE:
    case ENFILE: return platform::kErrorTooManyOpenFiles;
    case ENOMEM: return platform::kErrorNotEnoughMemory;
    case EBUSY:
    case ETXTBSY: return platform::kErrorSharingViolation;
    case ENOSPC: return platform::kErrorDiskFull;
    case EEXIST: return platform::kErrorAlreadyExists;
    case ENOTEMPTY: return 145;  // ERROR_DIR_NOT_EMPTY
    default: return 31;          // ERROR_GEN_FAILURE
  }
}

}  // namespace headless

namespace platform {

using headless::HostPath;
using headless::TakeInjectedFailure;

bool PathExists(std::wstring_view path) {
  if (path.empty() || path.find_first_of(L"*?") != std::wstring_view::npos) return false;
  const auto host = HostPath(path);
  std::error_code ec;
  return !host.empty() && fs::exists(host, ec);
}

bool NormalFileExists(std::wstring_view path) {
  if (path.empty() || path.find_first_of(L"*?") != std::wstring_view::npos) return false;
  const auto host = HostPath(path);
  std::error_code ec;
  return !host.empty() && fs::is_regular_file(host, ec) && !headless::IsHiddenOrSystem(path);
}

bool FileExists(std::wstring_view path) {
  if (path.empty() || path.find_first_of(L"*?") != std::wstring_view::npos) return false;
  const auto host = HostPath(path);
  std::error_code ec;
  return !host.empty() && fs::exists(host, ec) && !fs::is_directory(host, ec);
}

DosError MakeDirectory(std::wstring_view path) {
  if (const auto injected = TakeInjectedFailure("MakeDirectory", path)) return injected;
  if (const auto* drive = path.size() >= 2 && path[1] == L':' ? headless::FindDrive(path[0]) : nullptr;
      drive && (!drive->ready || drive->folder.empty()))
    return kErrorNotReady;
  // Names Windows refuses, whatever the host's file system would take.
  const auto separator = path.find_last_of(L"\\/");
  const auto name = path.substr(separator == std::wstring_view::npos ? 0 : separator + 1);
  if (name.find_first_of(L"<>:\"|?*") != std::wstring_view::npos ||
      std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < 32; }))
    return kErrorInvalidName;
  const auto host = HostPath(path);
  if (host.empty()) return kErrorPathNotFound;
  std::error_code ec;
  // A link counts as there, even one that points nowhere.
  if (fs::exists(fs::symlink_status(host, ec))) return kErrorAlreadyExists;
  if (!fs::is_directory(host.parent_path(), ec)) return kErrorPathNotFound;
  if (!fs::create_directory(host, ec)) return headless::DosErrorFromErrno(ec.value());
  return kErrorSuccess;
}

DosError RemoveEmptyDirectory(std::wstring_view path) {
  if (const auto injected = TakeInjectedFailure("RemoveEmptyDirectory", path)) return injected;
  const auto host = HostPath(path);
  std::error_code ec;
  if (host.empty() || !fs::exists(host, ec)) return kErrorFileNotFound;
  if (!fs::is_directory(host, ec)) return 267;  // ERROR_DIRECTORY
  if (!fs::remove(host, ec)) return headless::DosErrorFromErrno(ec.value());
  return kErrorSuccess;
}

DosError DeleteOneFile(std::wstring_view path) {
  if (const auto injected = TakeInjectedFailure("DeleteOneFile", path)) return injected;
  const auto host = HostPath(path);
  std::error_code ec;
  if (host.empty()) return kErrorPathNotFound;
  const auto status = fs::symlink_status(host, ec);
  if (!fs::exists(status)) return kErrorFileNotFound;
  if (fs::is_directory(status)) return kErrorAccessDenied;
  // A file without write permission is what a read-only file is here (Wine
  // maps the attribute the same way), and Windows refuses to delete one.
  if (!fs::is_symlink(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
    return kErrorAccessDenied;
  if (!fs::remove(host, ec)) return headless::DosErrorFromErrno(ec.value());
  return kErrorSuccess;
}

DosError MoveReplacing(std::wstring_view from, std::wstring_view to) {
  if (const auto injected = TakeInjectedFailure("MoveReplacing", to)) return injected;
  const auto source = HostPath(from);
  std::error_code ec;
  if (source.empty() || !fs::exists(fs::symlink_status(source, ec))) return kErrorFileNotFound;
  auto target = HostPath(to);
  if (target.empty() || !fs::is_directory(target.parent_path(), ec)) return kErrorPathNotFound;
  // Windows replaces a file, never a folder, and takes the new name as written.
  if (fs::is_directory(fs::symlink_status(target, ec))) return kErrorAccessDenied;
  if (fs::exists(fs::symlink_status(target, ec))) fs::remove(target, ec);
  target = target.parent_path() / headless::HostName(to.substr(to.find_last_of(L'\\') + 1));
  fs::rename(source, target, ec);
  return ec ? headless::DosErrorFromErrno(ec.value()) : kErrorSuccess;
}

}  // namespace platform
