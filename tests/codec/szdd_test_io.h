// Sources and sinks for the codec's stream forms: data handed out in pieces
// of any size, and failures at a chosen byte, as files and disks give them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "codec/szdd_expander.h"
#include "codec/szdd_format.h"

namespace vxr::test {

using Bytes = std::vector<std::uint8_t>;

// Hands out `data` in pieces of `piece` bytes at most; fails once `failAt`
// bytes have been read.
class PieceSource final : public szdd::ByteSource {
 public:
  PieceSource(std::span<const std::uint8_t> data, std::size_t piece, std::size_t failAt = SIZE_MAX)
      : data_(data), piece_(piece), failAt_(failAt) {}
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override {
    if (at_ >= failAt_) return -1;
    const std::size_t n = std::min({buffer.size(), piece_, data_.size() - at_, failAt_ - at_});
    if (n != 0) std::memcpy(buffer.data(), data_.data() + at_, n);
    at_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t piece_, failAt_, at_ = 0;
};

// Keeps what it is given; refuses everything once it holds `failAt` bytes.
class KeepingSink final : public szdd::ByteSink {
 public:
  explicit KeepingSink(std::size_t failAt = SIZE_MAX) : failAt_(failAt) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    if (kept.size() + bytes.size() > failAt_) return false;
    kept.insert(kept.end(), bytes.begin(), bytes.end());
    return true;
  }
  Bytes kept;

 private:
  std::size_t failAt_;
};

// An SZDD header declaring `declared` bytes, then `data`.
inline Bytes SzddFile(std::uint32_t declared, const Bytes& data = {}, std::uint8_t mode = 'A') {
  Bytes file(szdd::kSignature.begin(), szdd::kSignature.end());
  file.insert(file.end(), {mode, 'v'});
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(declared >> (8 * i)));
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

}  // namespace vxr::test
