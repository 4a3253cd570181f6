// An in-memory Windows for the uninstaller's logic: files, folders and the
// 32-bit registry view below HKEY_LOCAL_MACHINE in one tree of names matched
// without regard to case, as Windows matches them ("C:\a\b" is a path,
// "Software\a" a key, "Software\a\|n" its value n); window titles, and message
// boxes with scripted answers. Removals can be made to fail.
#pragma once

#include <gtest/gtest.h>

#include <deque>
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
  void Add(std::wstring_view name, Type type = kFile, std::wstring_view data = {}) {
    const auto cut = name.find_last_of(L'\\');
    if (cut != std::wstring_view::npos && cut > 2)
      Add(name.substr(0, cut), type == kFile ? kFolder : std::min(type, kKey));
    if (type == kFile || type >= kText || !Has(name)) items[Fold(name)] = {type, std::wstring(data)};
  }
  void SetValue(std::wstring_view key, std::wstring_view name, std::wstring_view data, Type type = kText) {
    Add(std::wstring(key) + L"\\|" + std::wstring(name), type, data);
  }
  bool Has(std::wstring_view name) const { return items.contains(Fold(name)); }
  // The next removal of that file, folder or key answers `error` and leaves
  // it; with kSuccess it claims success and still leaves it.
  void FailRemoval(std::wstring_view name, Error error) { failures_[Fold(name)] = error; }

  std::map<std::wstring, std::pair<Type, std::wstring>> items;  // by folded name: the type and a value's data
  std::vector<std::wstring> programsFolders, titles;
  std::deque<int> answers;  // for the boxes that ask something, in order
  std::vector<ShownBox> boxes;

  PathKind Kind(std::wstring_view path) override {
    if (path.size() >= 2 && path.size() <= 3 && path[1] == L':') return PathKind::Folder;  // a drive's root
    const auto found = items.find(Fold(path));
    return found == items.end() || found->second.first > kFolder ? PathKind::Missing
                                                                 : PathKind(found->second.first + 1);
  }
  Error RemoveFile(std::wstring_view path) override { return Remove(path, kFile); }
  Error RemoveFolder(std::wstring_view path) override {
    // Windows refuses it; an uninstaller that tries has lost track of its folder.
    if (path.size() <= 3) ADD_FAILURE() << "removing a drive's root";
    return Remove(path, kFolder);
  }
  bool FolderIsEmpty(std::wstring_view path) override { return Below(path, false).empty(); }
  std::vector<std::wstring> ProgramsFolders() override { return programsFolders; }
  bool KeyExists(std::wstring_view key) override { return Has(key) && items[Fold(key)].first == kKey; }
  std::optional<std::wstring> ReadText(std::wstring_view key, std::wstring_view name) override {
    const auto found = items.find(Fold(std::wstring(key) + L"\\|" + std::wstring(name)));
    return found != items.end() && found->second.first == kText ? std::optional(found->second.second)
                                                                : std::nullopt;
  }
  std::vector<std::wstring> SubKeys(std::wstring_view key) override {
    std::vector<std::wstring> names = Below(key, true);
    for (auto& name : names) name.erase(0, key.size() + 1);
    return names;
  }
  bool HasValues(std::wstring_view key) override { return !Below(key, false).empty(); }
  Error RemoveKey(std::wstring_view key) override { return Remove(key, kKey); }
  std::vector<std::wstring> WindowTitles() override { return titles; }
  int ShowBox(std::wstring_view text, std::uint32_t style) override {
    boxes.push_back({std::wstring(text), style});
    if ((style & 0xF) == kMbOk) return kIdOk;
    EXPECT_FALSE(answers.empty()) << "no answer for the box: "
                                  << ::testing::PrintToString(std::wstring(text));
    if (answers.empty()) return kIdCancel;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

 private:
  static std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c;
    return folded;
  }
  // The folded names one level below `parent`: its subkeys, or everything else.
  std::vector<std::wstring> Below(std::wstring_view parent, bool keys) const {
    std::vector<std::wstring> names;
    const std::wstring prefix = Fold(parent) + L'\\';
    for (const auto& [name, item] : items)
      if (name.starts_with(prefix) && name.find(L'\\', prefix.size()) == std::wstring::npos &&
          (item.first == kKey) == keys)
        names.push_back(name);
    return names;
  }
  Error Remove(std::wstring_view name, Type type) {
    if (const auto failure = failures_.extract(Fold(name))) return failure.mapped();
    const auto found = items.find(Fold(name));
    if (found == items.end() || (type == kKey) != (found->second.first == kKey)) return kErrorFileNotFound;
    if (found->second.first != type) return type == kFile ? kErrorAccessDenied : 267;  // ERROR_DIRECTORY
    // For a key with subkeys, as RegDeleteKey answers.
    if (!Below(name, type == kKey).empty()) return type == kKey ? kErrorAccessDenied : kErrorDirNotEmpty;
    for (const auto& value : Below(name, false)) items.erase(value);
    items.erase(found);
    return kSuccess;
  }

  std::map<std::wstring, Error> failures_;
};

}  // namespace vxr::uninstaller
