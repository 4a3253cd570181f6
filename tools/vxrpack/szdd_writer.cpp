#include "tools/vxrpack/szdd_writer.h"

#include <span>

#include "codec/szdd_format.h"

namespace vxr::pack {

SzddWriter::SzddWriter(szdd::ByteSink& sink) : sink_(sink), block_(kBlockSize + kGroupMax) {}

void SzddWriter::Match(std::uint64_t at, std::uint32_t length, std::uint32_t distance) {
  StartItem();
  // Data byte n is written at window slot (4096 - 16 + n) mod 4096.
  const std::uint64_t slot = (szdd::kWindowStart + at - distance) & (szdd::kWindowSize - 1);
  block_[size_++] = static_cast<std::uint8_t>(slot & 0xFF);
  block_[size_++] = static_cast<std::uint8_t>(((slot >> 4) & 0xF0) | (length - szdd::kMinMatch));
  ++items_;
}

void SzddWriter::Flush() {
  if (!failed_ && size_ != 0) failed_ = !sink_.Write(std::span(block_.data(), size_));
  written_ += size_;
  size_ = 0;
}

bool SzddWriter::Finish() {
  Flush();
  items_ = 8;
  return !failed_;
}

}  // namespace vxr::pack
