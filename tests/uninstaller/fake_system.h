// An in-memory Windows for the uninstaller's logic: files, folders and the
// 32-bit registry view below HKEY_LOCAL_MACHINE in one tree of names matched
// without regard to case, as Windows matches them ("C:\a\b" is a path,
// "Software\a" a key, "Software\a\|n" its value n); window titles, and message
// boxes with scripted answers. Removals can be made to fail.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/demo/uninstaller/system.h"

namespace vxr::uninstaller {

struct ShownBox {
  std::wstring text;
  std::uint32_t style;
};

class FakeSystem final : public System {
 public:
  enum Type { kFile, kFolder, kKey, kText, kNumber };
  // Missing parent folders and keys are made along the way.
  void Add(std::wstring_view name, Type type, std::wstring_view data = {}) {
    const std::wstring_view parent = name.substr(0, std::min(name.size(), name.find_last_of(L'\\')));
    if (parent.size() > 2 && parent.size() < name.size())
      Add(parent, type == kFile ? kFolder : std::min(type, kKey));
    if (type == kFile || type >= kText || !Find(name))
      items_[Fold(name)] = {type, std::wstring(name), std::wstring(data)};
  }
  void SetValue(std::wstring_view key, std::wstring_view name, std::wstring_view data, Type type = kText) {
    Add(std::wstring(key) + L"\\|" + std::wstring(name), type, data);
  }
  void AddFile(std::wstring_view path) { Add(path, kFile); }
  bool Has(std::wstring_view name) const { return Find(name); }
  // The next removal of that file, folder or key answers `error` and leaves
  // it; with kSuccess it claims success and still leaves it.
  void FailRemoval(std::wstring_view name, Error error) { failures_[Fold(name)] = error; }
  std::vector<std::wstring> Listing() const {
    std::vector<std::wstring> lines;
    for (const auto& [folded, item] : items_)
      lines.push_back(folded + L'=' + item.data + L"FDKTN"[item.type]);
    return lines;
  }
  std::vector<std::wstring> programsFolders, titles;
  // Answers for the boxes that ask something, in order. `onBox` runs as each
  // box is shown, before it is answered (a user closing the product).
  std::deque<int> answers;
  std::function<void(const ShownBox&)> onBox;
  std::vector<ShownBox> boxes;

  PathKind Kind(std::wstring_view path) override {
    const Item* item = Find(path);
    if (path.size() <= 3 && path.ends_with(L':') != path.ends_with(L'\\'))
      return PathKind::Folder;  // a drive's root
    return !item || item->type > kFolder ? PathKind::Missing : PathKind(item->type + 1);
  }
  Error RemoveFile(std::wstring_view path) override { return Remove(path, kFile); }
  Error RemoveFolder(std::wstring_view path) override {
    // Windows refuses it; an uninstaller that tries has lost track of its folder.
    if (path.size() <= 3) ADD_FAILURE() << "removing a drive's root";
    return Remove(path, kFolder);
  }
  bool FolderIsEmpty(std::wstring_view path) override { return Below(path, kFolder).empty(); }
  std::vector<std::wstring> ProgramsFolders() override { return programsFolders; }
  bool KeyExists(std::wstring_view key) override { return Find(key) && Find(key)->type == kKey; }
  std::optional<std::wstring> ReadText(std::wstring_view key, std::wstring_view name) override {
    const Item* value = Find(std::wstring(key) + L"\\|" + std::wstring(name));
    return value && value->type == kText ? std::optional(value->data) : std::nullopt;
  }
  std::vector<std::wstring> SubKeys(std::wstring_view key) override {
    std::vector<std::wstring> names;
    for (const auto* item : Below(key, kKey)) names.push_back(item->name.substr(key.size() + 1));
    return names;
  }
  bool HasValues(std::wstring_view key) override {
    return Below(key, kText).size() > Below(key, kKey).size();
  }
  Error RemoveKey(std::wstring_view key) override { return Remove(key, kKey); }
  std::vector<std::wstring> WindowTitles() override { return titles; }
  int ShowBox(std::wstring_view text, std::uint32_t style) override {
    boxes.push_back({std::wstring(text), style});
    if (onBox) onBox(boxes.back());
    if ((style & 0xF) == kMbOk) return kIdOk;
    if (answers.empty())
      ADD_FAILURE() << "no answer for the box: " << ::testing::PrintToString(boxes.back().text);
    const int answer = answers.empty() ? kIdCancel : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }

 private:
  struct Item {
    Type type;
    std::wstring name, data;
  };
  static std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c;
    return folded;
  }
  const Item* Find(std::wstring_view name) const {
    const auto found = items_.find(Fold(name));
    return found == items_.end() ? nullptr : &found->second;
  }
  // The items one level below `parent`: files and folders for kFolder, subkeys
  // for kKey, subkeys and values for kText.
  std::vector<const Item*> Below(std::wstring_view parent, Type type) const {
    std::vector<const Item*> below;
    const std::wstring prefix = Fold(parent) + L'\\';
    for (const auto& [folded, item] : items_)
      if (folded.starts_with(prefix) && folded.find(L'\\', prefix.size()) == std::wstring::npos &&
          (type == kText  ? item.type >= kKey
           : type == kKey ? item.type == kKey
                          : item.type < kKey))
        below.push_back(&item);
    return below;
  }
  Error Remove(std::wstring_view name, Type type) {
    if (const auto failure = failures_.find(Fold(name)); failure != failures_.end()) {
      const Error error = failure->second;
      failures_.erase(failure);
      return error;
    }
    const Item* item = Find(name);
    if (!item || (type == kKey) != (item->type == kKey)) return kErrorFileNotFound;
    if (item->type != type) return type == kFile ? kErrorAccessDenied : 267;  // ERROR_DIRECTORY
    // For a key with subkeys, as RegDeleteKey answers.
    if (!Below(name, type).empty()) return type == kKey ? kErrorAccessDenied : kErrorDirNotEmpty;
    for (const auto* value : Below(name, kText)) items_.erase(Fold(value->name));
    items_.erase(Fold(name));
    return kSuccess;
  }

  std::map<std::wstring, Item> items_;  // by folded name
  std::map<std::wstring, Error> failures_;
};

}  // namespace vxr::uninstaller
