// libFuzzer target: the expander on any bytes. The count agrees with what was
// written, and it and the memory form's buffer stay within what the input
// allows, whatever the header declares; the stream form, fed in pieces of any
// size, gives the same.
#include <cstdlib>

#include "tests/codec/szdd_test_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vxr;
  const auto file = std::span(data, size);
  std::vector<std::uint8_t> out;
  const std::int32_t n = szdd::ExpandBuffer(file, out);
  // Nothing in memory can fail but an allocation.
  if (n < 0 || static_cast<std::size_t>(n) != out.size()) std::abort();
  if (szdd::HasHeader(file) ? out.size() > size / 17 * 144 + 144 : out.size() != size) std::abort();
  if (out.capacity() > (size / 17 + 2) * 144 + 4096) std::abort();

  // The size of the pieces read from the last byte, one byte at a time up
  // to 256, and the stream's blocks from the one before: small, so that
  // short inputs too fill the blocks and move the window.
  test::PieceSource source(file, size == 0 ? 1 : std::size_t{data[size - 1]} + 1);
  test::KeepingSink sink;
  const std::size_t block = size < 2 ? 1 : 1 + std::size_t{data[size - 2]} * 16;
  if (szdd::ExpandStream(source, sink, block) != n || sink.kept != out) std::abort();
  return 0;
}
