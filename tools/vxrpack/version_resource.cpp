#include "tools/vxrpack/version_resource.h"

#include <algorithm>
#include <string_view>

#include "format/pe_image.h"

namespace vxr::pack {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint64_t kResourceDirectory = 2;  // index among the optional header's data directories
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectory = 0x80000000;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoBytes = 52;
constexpr std::uint16_t kTextValue = 1;  // a node's wType

bool Read16(Bytes b, std::uint64_t at, std::uint16_t& v) {
  if (at > b.size() || b.size() - at < 2) return false;
  const auto i = static_cast<std::size_t>(at);  // in range, so it fits
  v = static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
  return true;
}

bool Read32(Bytes b, std::uint64_t at, std::uint32_t& v) {
  std::uint16_t low = 0, high = 0;
  if (!Read16(b, at, low) || !Read16(b, at + 2, high)) return false;
  v = low | (static_cast<std::uint32_t>(high) << 16);
  return true;
}

std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

// `size` bytes at an RVA, when they lie in one section's data in the file.
std::optional<Bytes> AtRva(Bytes image, const pe::Headers& headers, std::uint32_t rva, std::uint32_t size) {
  for (std::uint32_t i = 0; i < headers.sectionCount; ++i) {
    const std::uint64_t header = headers.sectionTableOffset + 40 * std::uint64_t{i};
    std::uint32_t address = 0, rawSize = 0, offset = 0;
    // ParseHeaders saw the whole table in the image.
    Read32(image, header + 12, address);
    Read32(image, header + 16, rawSize);
    Read32(image, header + 20, offset);
    if (rva < address || rva - address >= rawSize) continue;
    const std::uint64_t begin = std::uint64_t{offset} + (rva - address);
    if (std::uint64_t{rva - address} + size > rawSize || begin + size > image.size()) return std::nullopt;
    return image.subspan(static_cast<std::size_t>(begin), size);
  }
  return std::nullopt;
}

constexpr std::int64_t kFirstEntry = -1;

// The data field of the resource directory entry at `directory` whose ID is
// `id`, or of its first entry for kFirstEntry (names and languages: any will
// do). Named entries have the top bit set and never equal an ID.
bool Entry(Bytes tree, std::uint32_t directory, std::int64_t id, std::uint32_t& data) {
  std::uint16_t named = 0, ids = 0;
  if (!Read16(tree, std::uint64_t{directory} + 12, named) ||
      !Read16(tree, std::uint64_t{directory} + 14, ids))
    return false;
  for (std::uint32_t i = 0; i < std::uint32_t{named} + ids; ++i) {
    const std::uint64_t at = std::uint64_t{directory} + 16 + 8 * std::uint64_t{i};
    std::uint32_t name = 0;
    if (!Read32(tree, at, name) || !Read32(tree, at + 4, data)) return false;
    if (id == kFirstEntry || name == id) return true;
  }
  return false;
}

// A node of VS_VERSIONINFO: wLength, wValueLength, wType, a NUL-terminated
// UTF-16 key, then the value and the children, each on a 32-bit boundary.
// Offsets count from the resource's start, which is itself so aligned.
struct Node {
  std::u16string key;
  std::size_t value = 0, children = 0, end = 0;
};

// The node at `at`; nothing when it is damaged or not inside [at, limit).
std::optional<Node> ReadNode(Bytes res, std::size_t at, std::size_t limit) {
  std::uint16_t length = 0, valueLength = 0, type = 0;
  if (!Read16(res, at, length) || !Read16(res, at + 2, valueLength) || !Read16(res, at + 4, type))
    return std::nullopt;
  if (length < 6 || length > limit - at) return std::nullopt;
  Node node;
  node.end = at + length;
  std::size_t p = at + 6;
  for (std::uint16_t c = 0; Read16(res, p, c) && p + 2 <= node.end && c != 0; p += 2)
    node.key.push_back(static_cast<char16_t>(c));
  if (p + 2 > node.end) return std::nullopt;  // no NUL before the end
  node.value = std::min(Align4(p + 2), node.end);
  // Text values are counted in characters.
  node.children = std::min(Align4(node.value + (type == kTextValue ? 2u : 1u) * valueLength), node.end);
  return node;
}

// Calls `visit` for each child of `parent`; false when one is damaged. A
// zero length ends the list: some writers pad the last child.
template <typename Visit>
bool ForEachChild(Bytes res, const Node& parent, Visit visit) {
  for (std::size_t at = parent.children; at + 2 <= parent.end; at = Align4(at)) {
    std::uint16_t length = 0;
    if (Read16(res, at, length) && length == 0) break;
    const auto child = ReadNode(res, at, parent.end);
    if (!child) return false;
    visit(*child);
    at = child->end;
  }
  return true;
}

// Version strings are ASCII in practice; anything else shows as '?' rather
// than as bytes a terminal might take for something else.
std::string Text(Bytes res, const Node& node) {
  std::string text;
  std::uint16_t c = 0;
  for (std::size_t p = node.value; p + 2 <= node.end && Read16(res, p, c) && c != 0; p += 2)
    text.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
  return text;
}

std::optional<ImageVersion> ParseVersionInfo(Bytes res) {
  const auto root = ReadNode(res, 0, res.size());
  std::uint32_t signature = 0, high = 0, low = 0;
  if (!root || root->key != u"VS_VERSION_INFO" || root->end - root->value < kFixedInfoBytes ||
      !Read32(res, root->value, signature) || signature != kFixedInfoSignature ||
      !Read32(res, root->value + 16, high) || !Read32(res, root->value + 20, low))
    return std::nullopt;
  ImageVersion version;
  version.product = {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
                     static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
  // StringFileInfo, one table a language, one node a string.
  bool sound = true;
  const auto strings = [&](const Node& table) {
    sound = ForEachChild(res, table,
                         [&](const Node& string) {
                           if (string.key == u"ProductVersion" && version.productText.empty())
                             version.productText = Text(res, string);
                         }) &&
            sound;
  };
  sound = ForEachChild(res, *root,
                       [&](const Node& info) {
                         if (info.key == u"StringFileInfo") sound = ForEachChild(res, info, strings) && sound;
                       }) &&
          sound;
  if (!sound) return std::nullopt;
  return version;
}

}  // namespace

std::optional<ImageVersion> ReadImageVersion(Bytes image, std::string& error) {
  const auto headers = pe::ParseHeaders(image);
  if (!headers) {
    error = "is not a Windows program (no PE headers)";
    return std::nullopt;
  }
  // The optional header lies between the COFF header and the section table.
  std::uint32_t nt = 0;
  Read32(image, 0x3C, nt);
  const std::uint64_t optional = std::uint64_t{nt} + 24;
  const std::uint64_t count = optional + (headers->is64 ? 108 : 92);
  const std::uint64_t directory = count + 4 + 8 * kResourceDirectory;
  std::uint32_t directories = 0, rva = 0, size = 0;
  std::optional<Bytes> tree;
  if (Read32(image, count, directories) && directories > kResourceDirectory &&
      directory + 8 <= headers->sectionTableOffset && Read32(image, directory, rva) &&
      Read32(image, directory + 4, size) && size != 0) {
    tree = AtRva(image, *headers, rva, size);
  }
  std::uint32_t type = 0, name = 0, language = 0, dataRva = 0, dataSize = 0;
  if (!tree || !Entry(*tree, 0, kRtVersion, type)) {
    error = "has no version resource";
    return std::nullopt;
  }
  // Type, name, language: two directories, then the data entry.
  std::optional<Bytes> data;
  if ((type & kSubdirectory) && Entry(*tree, type & ~kSubdirectory, kFirstEntry, name) &&
      (name & kSubdirectory) && Entry(*tree, name & ~kSubdirectory, kFirstEntry, language) &&
      !(language & kSubdirectory) && Read32(*tree, language, dataRva) &&
      Read32(*tree, std::uint64_t{language} + 4, dataSize)) {
    data = AtRva(image, *headers, dataRva, dataSize);
  }
  auto version = data ? ParseVersionInfo(*data) : std::nullopt;
  if (!version) error = "has a damaged version resource";
  return version;
}

std::string Dotted(const std::array<std::uint16_t, 4>& numbers) {
  std::string text;
  for (const std::uint16_t n : numbers) text += (text.empty() ? "" : ".") + std::to_string(n);
  return text;
}

}  // namespace vxr::pack
