// An in-memory Windows for the uninstaller's logic: files and folders, the
// 32-bit registry view below HKEY_LOCAL_MACHINE, window titles and message
// boxes with scripted answers. Names are matched without regard to case, as
// Windows matches them; removals can be made to fail.
#pragma once

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
  // ---- Arranging; missing parent folders and keys are made along the way.
  void AddFolder(std::wstring_view path);
  void AddFile(std::wstring_view path);
  void AddKey(std::wstring_view key);
  // A value, stored as the text a listing shows; `text` marks values ReadText gives.
  void SetValue(std::wstring_view key, std::wstring_view name, std::wstring_view data, bool text = true);
  void SetProgramsFolders(std::vector<std::wstring> folders) { programs_ = std::move(folders); }
  void SetWindowTitles(std::vector<std::wstring> titles) { titles_ = std::move(titles); }

  // The next removal of that file, folder or key answers `error` and leaves
  // it; with kSuccess it claims success and still leaves it.
  void FailRemoval(std::wstring_view pathOrKey, Error error) { failures_[Fold(pathOrKey)] = error; }

  // Answers for the boxes that ask something, in order. A box that asks and
  // finds none fails the test and is answered No or Cancel.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // Runs as each box is shown, before it is answered (a user closing the product).
  void OnBox(std::function<void(const ShownBox&)> action) { onBox_ = std::move(action); }
  const std::vector<ShownBox>& Boxes() const { return boxes_; }

  // Everything there is, one line an item, sorted: "file P", "folder P",
  // "key K", "value K\N=DATA".
  std::vector<std::wstring> Listing() const;

  // ---- System
  PathKind Kind(std::wstring_view path) override;
  Error RemoveFile(std::wstring_view path) override;
  Error RemoveFolder(std::wstring_view path) override;
  bool FolderIsEmpty(std::wstring_view path) override;
  std::vector<std::wstring> ProgramsFolders() override { return programs_; }
  bool KeyExists(std::wstring_view key) override;
  std::optional<std::wstring> ReadText(std::wstring_view key, std::wstring_view name) override;
  std::vector<std::wstring> SubKeys(std::wstring_view key) override;
  bool HasValues(std::wstring_view key) override;
  Error RemoveKey(std::wstring_view key) override;
  std::vector<std::wstring> WindowTitles() override { return titles_; }
  int ShowBox(std::wstring_view text, std::uint32_t style) override;

  static std::wstring Fold(std::wstring_view text);

 private:
  struct Entry {
    std::wstring path;
    bool folder;
  };
  struct Value {
    std::wstring name, data;
    bool text;
  };
  struct Key {
    std::wstring path;
    std::map<std::wstring, Value> values;  // by folded name
  };

  // True when a failure was set for `name`: `error` is its answer.
  bool TakeFailure(std::wstring_view name, Error& error);
  bool HasChildren(const std::wstring& foldedParent, bool keys) const;

  std::map<std::wstring, Entry> paths_;  // by folded path
  std::map<std::wstring, Key> keys_;     // by folded path
  std::map<std::wstring, Error> failures_;
  std::vector<std::wstring> programs_, titles_;
  std::deque<int> answers_;
  std::function<void(const ShownBox&)> onBox_;
  std::vector<ShownBox> boxes_;
};

}  // namespace vxr::uninstaller
