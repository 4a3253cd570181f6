// libFuzzer target: the expander on any bytes, in both forms. Besides the
// sanitizers' checks, the result must agree with what was written and stay
// within the bound that the input allows, whatever the header declares, and
// the stream form, fed in pieces of any size, must give what the memory form
// gives.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "codec/szdd_expander.h"

namespace {

class PieceSource final : public vxr::szdd::ByteSource {
 public:
  PieceSource(std::span<const std::uint8_t> data, std::size_t piece) : data_(data), piece_(piece) {}
  std::ptrdiff_t Read(std::span<std::uint8_t> buffer) override {
    const std::size_t n = std::min({buffer.size(), piece_, data_.size()});
    if (n != 0) std::memcpy(buffer.data(), data_.data(), n);
    data_ = data_.subspan(n);
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t piece_;
};

class CheckingSink final : public vxr::szdd::ByteSink {
 public:
  explicit CheckingSink(const std::vector<std::uint8_t>& expected) : expected_(expected) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.size() > expected_.size() - at_ ||
        !std::equal(bytes.begin(), bytes.end(), expected_.begin() + at_))
      std::abort();
    at_ += bytes.size();
    return true;
  }

 private:
  const std::vector<std::uint8_t>& expected_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = std::span(data, size);
  std::vector<std::uint8_t> out;
  const std::int32_t n = vxr::szdd::ExpandBuffer(file, out);
  if (n < 0) std::abort();  // nothing in memory can fail but an allocation
  if (static_cast<std::size_t>(n) != out.size()) std::abort();
  if (out.size() > size / 17 * 144 + 144 && vxr::szdd::HasHeader(file)) std::abort();
  if (!vxr::szdd::HasHeader(file) && (out.size() != size)) std::abort();

  // The size of the pieces read from the last byte, one byte at a time up
  // to 256, and the stream's blocks from the one before: small, so that
  // short inputs too fill the blocks and move the window.
  PieceSource source(file, size == 0 ? 1 : std::size_t{data[size - 1]} + 1);
  CheckingSink sink(out);
  const std::size_t block = size < 2 ? 1 : 1 + std::size_t{data[size - 2]} * 16;
  if (vxr::szdd::ExpandStream(source, sink, block) != n) std::abort();
  return 0;
}
