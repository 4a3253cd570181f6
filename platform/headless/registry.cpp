// An in-memory registry with Windows' observable behaviour: names compared
// without regard to case but kept as written, subkeys listed in Windows'
// order, typed values kept as the bytes given.
#include "platform/registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/ansi_text.h"
#include "platform/headless/headless.h"
#include "platform/headless/registry_store.h"

namespace headless {
namespace {

using platform::registry::Error;
namespace reg = platform::registry;

// Windows compares registry names by their upper-case form.
wchar_t UpperCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<wchar_t>(c - 0x20);
  if (c >= 0x100 && c <= 0x17F && (c & 1) && c != 0x131) return static_cast<wchar_t>(c - 1);
  return c;
}
std::wstring Folded(std::string_view ansi) {
  std::wstring out = platform::FromAnsi(ansi);
  for (auto& c : out) c = UpperCase(c);
  return out;
}

struct Value {
  std::string name;
  ValueType type;
  std::vector<std::uint8_t> bytes;
};

struct Node {
  std::string name;
  std::wstring folded;
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;  // sorted by folded name
  std::vector<Value> values;
};

struct Refusal {
  RootKey root;
  std::wstring foldedPath;
  Error error;
};

struct RegistryState {
  std::map<std::uint32_t, std::unique_ptr<Node>> roots;
  std::map<std::uintptr_t, Node*> handles;
  std::uintptr_t nextHandle = 0x100;
  std::vector<Refusal> refusals;
};

RegistryState& R() {
  static RegistryState state;
  return state;
}
void ResetRegistry() { R() = RegistryState{}; }
const ResetHook registryHook{&ResetRegistry};

Node& Root(RootKey root) {
  auto& slot = R().roots[static_cast<std::uint32_t>(root)];
  if (!slot) slot = std::make_unique<Node>();
  return *slot;
}

RootKey RootOf(const Node* node) {
  while (node->parent) node = node->parent;
  for (auto& [id, root] : R().roots)
    if (root.get() == node) return static_cast<RootKey>(id);
  return RootKey::LocalMachine;
}

std::wstring FoldedPath(const Node* node) {
  std::wstring path;
  for (; node->parent; node = node->parent) path = node->folded + (path.empty() ? L"" : L"\\") + path;
  return path;
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const auto sep = path.find('\\');
    const auto part = path.substr(0, sep);
    if (!part.empty()) parts.push_back(part);
    path = sep == std::string_view::npos ? std::string_view{} : path.substr(sep + 1);
  }
  return parts;
}

Node* Child(Node& node, std::string_view name) {
  const auto folded = Folded(name);
  for (auto& child : node.children)
    if (child->folded == folded) return child.get();
  return nullptr;
}

Error Refused(RootKey root, const std::wstring& foldedPath) {
  for (const auto& refusal : R().refusals) {
    if (refusal.root != root) continue;
    const auto& prefix = refusal.foldedPath;
    if (foldedPath.compare(0, prefix.size(), prefix) == 0 &&
        (prefix.empty() || foldedPath.size() == prefix.size() || foldedPath[prefix.size()] == L'\\'))
      return refusal.error;
  }
  return reg::kSuccess;
}

Node* Find(RootKey root, std::string_view path) {
  Node* node = &Root(root);
  for (auto part : Components(path)) {
    node = Child(*node, part);
    if (!node) return nullptr;
  }
  return node;
}

Error Create(RootKey root, std::string_view path, Node*& result) {
  Node* node = &Root(root);
  for (auto part : Components(path)) {
    if (part.size() > 255) return 87;  // ERROR_INVALID_PARAMETER
    Node* child = Child(*node, part);
    if (!child) {
      const std::wstring folded = Folded(part);
      const std::wstring parentPath = FoldedPath(node);
      if (auto error = Refused(root, parentPath.empty() ? folded : parentPath + L"\\" + folded)) return error;
      auto fresh = std::make_unique<Node>();
      fresh->name = std::string(part);
      fresh->folded = folded;
      fresh->parent = node;
      child = fresh.get();
      const auto at = std::lower_bound(node->children.begin(), node->children.end(), folded,
                                       [](const auto& c, const std::wstring& f) { return c->folded < f; });
      node->children.insert(at, std::move(fresh));
    }
    node = child;
  }
  result = node;
  return reg::kSuccess;
}

Value* FindValue(Node& node, std::string_view name) {
  const auto folded = Folded(name);
  for (auto& value : node.values)
    if (Folded(value.name) == folded) return &value;
  return nullptr;
}

void Store(Node& node, std::string_view name, ValueType type, std::span<const std::uint8_t> bytes) {
  Value* value = FindValue(node, name);
  if (!value) value = &node.values.emplace_back(Value{std::string(name), type, {}});
  value->type = type;
  value->bytes.assign(bytes.begin(), bytes.end());
}

Node* Opened(const reg::Key& key) {
  const auto it = R().handles.find(key.Handle());
  return it == R().handles.end() ? nullptr : it->second;
}

reg::Key NewHandle(Node* node) {
  const auto handle = R().nextHandle++;
  R().handles[handle] = node;
  return reg::Key::Adopt(handle);
}

Node* Need(RootKey root, std::wstring_view path) {
  Node* node = nullptr;
  const auto ansi = platform::ToAnsi(path);
  // Tests put keys in place whatever the refusals say.
  auto saved = std::move(R().refusals);
  R().refusals.clear();
  Create(root, ansi, node);
  R().refusals = std::move(saved);
  return node;
}

}  // namespace

void PutRegistryValue(RootKey root, std::wstring_view path, std::wstring_view name, ValueType type,
                      std::span<const std::uint8_t> bytes) {
  Store(*Need(root, path), platform::ToAnsi(name), type, bytes);
}
void PutRegistryString(RootKey root, std::wstring_view path, std::wstring_view name, std::wstring_view text,
                       bool withNul) {
  std::string bytes = platform::ToAnsi(text);
  if (withNul) bytes.push_back('\0');
  PutRegistryValue(root, path, name, ValueType::Sz,
                   {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}
void PutRegistryDWord(RootKey root, std::wstring_view path, std::wstring_view name, std::uint32_t value) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16),
                                 static_cast<std::uint8_t>(value >> 24)};
  PutRegistryValue(root, path, name, ValueType::DWord, bytes);
}
void PutRegistryKey(RootKey root, std::wstring_view path) { Need(root, path); }

bool RegistryKeyExists(RootKey root, std::wstring_view path) {
  return Find(root, platform::ToAnsi(path)) != nullptr;
}
std::optional<RegistryValue> GetRegistryValue(RootKey root, std::wstring_view path, std::wstring_view name) {
  Node* node = Find(root, platform::ToAnsi(path));
  if (!node) return std::nullopt;
  const Value* value = FindValue(*node, platform::ToAnsi(name));
  if (!value) return std::nullopt;
  return RegistryValue{value->type, value->bytes};
}
std::vector<std::wstring> RegistryValueNames(RootKey root, std::wstring_view path) {
  std::vector<std::wstring> names;
  if (Node* node = Find(root, platform::ToAnsi(path)))
    for (const auto& value : node->values) names.push_back(platform::FromAnsi(value.name));
  return names;
}

void RefuseRegistryWrites(RootKey root, std::wstring_view path, platform::registry::Error error) {
  R().refusals.push_back({root, Folded(platform::ToAnsi(path)), error});
}

int OpenRegistryKeyCount() { return static_cast<int>(R().handles.size()); }

}  // namespace headless

namespace platform::registry {

using headless::R;

Key::~Key() {
  if (Valid()) R().handles.erase(handle_);
}

Key& Key::operator=(Key&& other) noexcept {
  if (this != &other) {
    if (Valid()) R().handles.erase(handle_);
    handle_ = other.handle_;
    other.handle_ = 0;
  }
  return *this;
}

Error OpenKey(RootKey root, std::string_view path, Key& key) {
  key = Key{};
  headless::Node* node = headless::Find(root, path);
  if (!node) return kFileNotFound;
  key = headless::NewHandle(node);
  return kSuccess;
}

Error CreateKey(RootKey root, std::string_view path, Key& key) {
  key = Key{};
  headless::Node* node = nullptr;
  if (auto error = headless::Create(root, path, node)) return error;
  key = headless::NewHandle(node);
  return kSuccess;
}

Error QueryValue(const Key& key, std::string_view name, ValueType& type, std::uint8_t* data,
                 std::uint32_t& size) {
  headless::Node* node = headless::Opened(key);
  if (!node) return kInvalidHandle;
  const headless::Value* value = headless::FindValue(*node, name);
  if (!value) return kFileNotFound;
  type = value->type;
  const auto stored = static_cast<std::uint32_t>(value->bytes.size());
  if (data && size < stored) {
    size = stored;
    return kMoreData;
  }
  if (data && stored) std::memcpy(data, value->bytes.data(), stored);
  size = stored;
  return kSuccess;
}

Error SetValue(const Key& key, std::string_view name, ValueType type, std::span<const std::uint8_t> data) {
  headless::Node* node = headless::Opened(key);
  if (!node) return kInvalidHandle;
  if (auto error = headless::Refused(headless::RootOf(node), headless::FoldedPath(node))) return error;
  headless::Store(*node, name, type, data);
  return kSuccess;
}

Error EnumKey(const Key& key, std::uint32_t index, char* buffer, std::uint32_t length) {
  headless::Node* node = headless::Opened(key);
  if (!node) return kInvalidHandle;
  if (index >= node->children.size()) return kNoMoreItems;
  const std::string& name = node->children[index]->name;
  if (name.size() + 1 > length) return kMoreData;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return kSuccess;
}

Error DeleteValue(const Key& key, std::string_view name) {
  headless::Node* node = headless::Opened(key);
  if (!node) return kInvalidHandle;
  if (auto error = headless::Refused(headless::RootOf(node), headless::FoldedPath(node))) return error;
  const auto folded = headless::Folded(name);
  auto& values = node->values;
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const headless::Value& v) { return headless::Folded(v.name) == folded; });
  if (it == values.end()) return kFileNotFound;
  values.erase(it);
  return kSuccess;
}

Error DeleteKey(RootKey root, std::string_view path) {
  headless::Node* node = headless::Find(root, path);
  if (!node || !node->parent) return kFileNotFound;
  if (auto error = headless::Refused(root, headless::FoldedPath(node))) return error;
  if (!node->children.empty()) return kAccessDenied;
  // Handles still open on it go stale, as on Windows (ERROR_KEY_DELETED).
  for (auto& [handle, opened] : R().handles)
    if (opened == node) opened = nullptr;
  auto& siblings = node->parent->children;
  siblings.erase(
      std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == node; }));
  return kSuccess;
}

Error CloseKey(Key& key) {
  if (!headless::Opened(key)) return kInvalidHandle;
  key = Key{};
  return kSuccess;
}

}  // namespace platform::registry
