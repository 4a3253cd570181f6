// Packs a parse into the SZDD data stream: a flag byte before every eight
// items, low bit first, 1 for a literal byte and 0 for a two-byte match
// naming its window slot. Written to a sink in large blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/szdd_expander.h"

namespace vxr::pack {

class SzddWriter {
 public:
  explicit SzddWriter(szdd::ByteSink& sink);

  void Literal(std::uint8_t byte) {
    StartItem();
    block_[flagAt_] = static_cast<std::uint8_t>(block_[flagAt_] | (1u << items_));
    block_[size_++] = byte;
    ++items_;
  }

  // A match of `length` bytes starting at data byte `at`, `distance` back.
  void Match(std::uint64_t at, std::uint32_t length, std::uint32_t distance);

  // Writes out what is left. False when the sink has failed, now or before.
  bool Finish();

  // Bytes of SZDD data produced so far.
  std::uint64_t Produced() const { return written_ + size_; }

 private:
  // Opens a new group when the current one holds eight items, after writing
  // the block out once it is full: blocks end between groups, because a
  // group's flag byte is set while its items come.
  void StartItem() {
    if (items_ < 8) return;
    if (size_ >= kBlockSize) Flush();
    flagAt_ = size_;
    block_[size_++] = 0;
    items_ = 0;
  }
  void Flush();

  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  static constexpr std::size_t kGroupMax = 1 + 8 * 2;

  szdd::ByteSink& sink_;
  std::vector<std::uint8_t> block_;
  std::size_t size_ = 0;
  std::size_t flagAt_ = 0;
  unsigned items_ = 8;  // items in the current group; 8: none open
  std::uint64_t written_ = 0;
  bool failed_ = false;
};

}  // namespace vxr::pack
