#include "registration/registry.h"

#include <cstring>

#include "platform/ansi_text.h"
#include "platform/dialogs.h"

namespace vxr {

namespace reg = platform::registry;
using platform::FromAnsi;
using platform::ToAnsi;

namespace {

constexpr wchar_t kTitle[] = L"Hata - Error";
constexpr wchar_t kKeyNotCreated[] = L"Registry anahtarı oluşturulamadı. Registry key could not be created!";
constexpr wchar_t kStringNotWritten[] =
    L"Registry'e string yazılamadı! Registry value(string) could not be written!";

// Names come back from the registry as fixed buffers: the text runs to the
// first NUL, or is the whole buffer when there is none.
std::wstring UpToFirstNul(std::wstring text) {
  const auto nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

}  // namespace

void CreateRegKey(RootKey root, std::wstring_view keyPath) {
  reg::Key key;
  if (reg::CreateKey(root, ToAnsi(keyPath), key) != reg::kSuccess)
    platform::ShowMessageBox(kKeyNotCreated, platform::kBoxAlert, kTitle);
}

std::wstring GetRegString(RootKey root, std::wstring_view keyPath, std::wstring_view valueName,
                          std::wstring_view defaultText) {
  std::wstring result(defaultText);
  reg::Key key;
  // A key that can't be opened leaves the handle null, and the query fails on it.
  reg::OpenKey(root, ToAnsi(keyPath), key);
  const std::string name = ToAnsi(valueName);
  reg::ValueType type = reg::ValueType::None;
  std::uint32_t size = 0;
  if (reg::QueryValue(key, name, type, nullptr, size) == reg::kSuccess && type == reg::ValueType::Sz) {
    // Yes, a buffer of spaces: whatever the second query leaves unwritten stays blank.
    std::string buffer(size, ' ');
    reg::QueryValue(key, name, type, reinterpret_cast<std::uint8_t*>(buffer.data()), size);
    result = UpToFirstNul(FromAnsi(buffer));
  }
  return result;
}

void SaveRegString(RootKey root, std::wstring_view keyPath, std::wstring_view valueName,
                   std::wstring_view text) {
  reg::Key key;
  // Not examined: a key that can't be created makes the write below fail.
  reg::CreateKey(root, ToAnsi(keyPath), key);
  const std::string data = ToAnsi(text);
  // With its terminating NUL, as REG_SZ must be stored: readers that take the
  // data for a C string (the product reading "Dizin", an uninstall manager)
  // would otherwise run past its end.
  if (reg::SetValue(key, ToAnsi(valueName), reg::ValueType::Sz,
                    {reinterpret_cast<const std::uint8_t*>(data.c_str()), data.size() + 1}) != reg::kSuccess)
    platform::ShowMessageBox(kStringNotWritten, platform::kBoxAlert, kTitle);
}

std::int32_t GetRegDWord(RootKey root, std::wstring_view keyPath, std::wstring_view valueName,
                         std::int32_t defaultValue) {
  std::int32_t result = defaultValue;
  reg::Key key;
  reg::OpenKey(root, ToAnsi(keyPath), key);
  std::uint8_t data[4] = {};
  std::uint32_t size = sizeof data;
  reg::ValueType type = reg::ValueType::None;
  if (reg::QueryValue(key, ToAnsi(valueName), type, data, size) == reg::kSuccess &&
      type == reg::ValueType::DWord) {
    const std::uint32_t value = data[0] | (std::uint32_t{data[1]} << 8) | (std::uint32_t{data[2]} << 16) |
                                (std::uint32_t{data[3]} << 24);
    result = static_cast<std::int32_t>(value);
  }
  return result;
}

void SaveRegDWord(RootKey root, std::wstring_view keyPath, std::wstring_view valueName, std::int32_t value) {
  reg::Key key;
  reg::CreateKey(root, ToAnsi(keyPath), key);
  const auto bits = static_cast<std::uint32_t>(value);
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
  reg::SetValue(key, ToAnsi(valueName), reg::ValueType::DWord, data);
}

SubKeyListing EnumRegSubKeys(RootKey root, std::wstring_view keyPath) {
  SubKeyListing listing;
  reg::Key key;
  if (reg::OpenKey(root, ToAnsi(keyPath), key) != reg::kSuccess) {
    listing.code = SubKeyListing::kCannotOpen;
    return listing;
  }
  constexpr std::uint32_t kNameBuffer = 255;
  for (std::uint32_t index = 0;; ++index) {
    std::string buffer(kNameBuffer, ' ');
    // Stops at the end of the list and also at a name too long for the buffer.
    if (reg::EnumKey(key, index, buffer.data(), kNameBuffer) != reg::kSuccess) break;
    listing.names.push_back(UpToFirstNul(FromAnsi(buffer)));
  }
  if (listing.names.empty()) listing.code = SubKeyListing::kNoSubKeys;
  return listing;
}

}  // namespace vxr
