#include "tests/uninstaller/fake_system.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vxr::uninstaller {

namespace {

bool IsDriveRoot(std::wstring_view path) { return path.size() >= 2 && path.size() <= 3 && path[1] == L':'; }

std::wstring_view Parent(std::wstring_view path) {
  const auto separator = path.find_last_of(L'\\');
  return separator == std::wstring_view::npos ? std::wstring_view{} : path.substr(0, separator);
}

}  // namespace

std::wstring FakeSystem::Fold(std::wstring_view text) {
  std::wstring folded(text);
  for (wchar_t& c : folded)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 0x20);
  return folded;
}

void FakeSystem::AddFolder(std::wstring_view path) {
  // "C:" is the drive, not a folder of it.
  if (path.size() <= 2) return;
  AddFolder(Parent(path));
  paths_.try_emplace(Fold(path), Entry{std::wstring(path), true});
}

void FakeSystem::AddFile(std::wstring_view path) {
  AddFolder(Parent(path));
  paths_[Fold(path)] = Entry{std::wstring(path), false};
}

void FakeSystem::AddKey(std::wstring_view key) {
  if (key.empty()) return;
  AddKey(Parent(key));
  keys_.try_emplace(Fold(key), Key{std::wstring(key), {}});
}

void FakeSystem::SetValue(std::wstring_view key, std::wstring_view name, std::wstring_view data, bool text) {
  AddKey(key);
  keys_[Fold(key)].values[Fold(name)] = Value{std::wstring(name), std::wstring(data), text};
}

std::vector<std::wstring> FakeSystem::Listing() const {
  std::vector<std::wstring> lines;
  for (const auto& [folded, entry] : paths_) lines.push_back((entry.folder ? L"folder " : L"file ") + folded);
  for (const auto& [folded, key] : keys_) {
    lines.push_back(L"key " + folded);
    for (const auto& [name, value] : key.values)
      lines.push_back(L"value " + folded + L"\\" + name + L"=" + value.data);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

bool FakeSystem::TakeFailure(std::wstring_view name, Error& error) {
  const auto found = failures_.find(Fold(name));
  if (found == failures_.end()) return false;
  error = found->second;
  failures_.erase(found);
  return true;
}

bool FakeSystem::HasChildren(const std::wstring& foldedParent, bool keys) const {
  const std::wstring prefix = foldedParent + L"\\";
  auto starts = [&](const auto& item) { return item.first.starts_with(prefix); };
  return keys ? std::any_of(keys_.begin(), keys_.end(), starts)
              : std::any_of(paths_.begin(), paths_.end(), starts);
}

PathKind FakeSystem::Kind(std::wstring_view path) {
  if (IsDriveRoot(path)) return PathKind::Folder;
  const auto found = paths_.find(Fold(path));
  if (found == paths_.end()) return PathKind::Missing;
  return found->second.folder ? PathKind::Folder : PathKind::File;
}

Error FakeSystem::RemoveFile(std::wstring_view path) {
  Error error = kSuccess;
  if (TakeFailure(path, error)) return error;
  const auto found = paths_.find(Fold(path));
  if (found == paths_.end()) return kErrorFileNotFound;
  if (found->second.folder) return kErrorAccessDenied;
  paths_.erase(found);
  return kSuccess;
}

Error FakeSystem::RemoveFolder(std::wstring_view path) {
  // Windows refuses it; an uninstaller that tries has lost track of its folder.
  if (IsDriveRoot(path)) {
    ADD_FAILURE() << "removing the root of drive " << static_cast<char>(path[0]);
    return kErrorAccessDenied;
  }
  Error error = kSuccess;
  if (TakeFailure(path, error)) return error;
  const auto found = paths_.find(Fold(path));
  if (found == paths_.end()) return kErrorFileNotFound;
  if (!found->second.folder) return 267;  // ERROR_DIRECTORY
  if (HasChildren(found->first, false)) return kErrorDirNotEmpty;
  paths_.erase(found);
  return kSuccess;
}

bool FakeSystem::FolderIsEmpty(std::wstring_view path) { return !HasChildren(Fold(path), false); }

bool FakeSystem::KeyExists(std::wstring_view key) { return keys_.contains(Fold(key)); }

std::optional<std::wstring> FakeSystem::ReadText(std::wstring_view key, std::wstring_view name) {
  const auto found = keys_.find(Fold(key));
  if (found == keys_.end()) return std::nullopt;
  const auto value = found->second.values.find(Fold(name));
  if (value == found->second.values.end() || !value->second.text) return std::nullopt;
  return value->second.data;
}

std::vector<std::wstring> FakeSystem::SubKeys(std::wstring_view key) {
  std::vector<std::wstring> names;
  const std::wstring prefix = Fold(key) + L"\\";
  for (const auto& [folded, item] : keys_) {
    if (!folded.starts_with(prefix) || folded.find(L'\\', prefix.size()) != std::wstring::npos) continue;
    names.push_back(item.path.substr(prefix.size()));
  }
  return names;
}

bool FakeSystem::HasValues(std::wstring_view key) {
  const auto found = keys_.find(Fold(key));
  return found != keys_.end() && !found->second.values.empty();
}

Error FakeSystem::RemoveKey(std::wstring_view key) {
  Error error = kSuccess;
  if (TakeFailure(key, error)) return error;
  const auto found = keys_.find(Fold(key));
  if (found == keys_.end()) return kErrorFileNotFound;
  // As RegDeleteKey answers for a key that still has subkeys.
  if (HasChildren(found->first, true)) return kErrorAccessDenied;
  keys_.erase(found);
  return kSuccess;
}

int FakeSystem::ShowBox(std::wstring_view text, std::uint32_t style) {
  const ShownBox box{std::wstring(text), style};
  if (onBox_) onBox_(box);
  boxes_.push_back(box);
  const std::uint32_t buttons = style & 0xF;
  if (buttons == kMbOk) return kIdOk;
  if (answers_.empty()) {
    ADD_FAILURE() << "no answer for the box: " << ::testing::PrintToString(box.text);
    return buttons == kMbYesNo ? kIdNo : kIdCancel;
  }
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace vxr::uninstaller
