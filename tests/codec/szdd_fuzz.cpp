// libFuzzer target: the expander on any bytes. Besides the sanitizers' checks,
// the result must agree with what was written and stay within the bound that
// the input allows, whatever the header declares.
#include <cstdlib>

#include "codec/szdd_expander.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  const std::int32_t n = vxr::szdd::ExpandBuffer(std::span(data, size), out);
  if (n < 0) std::abort();  // nothing in memory can fail but an allocation
  if (static_cast<std::size_t>(n) != out.size()) std::abort();
  if (out.size() > size / 17 * 144 + 144 && vxr::szdd::HasHeader(std::span(data, size))) std::abort();
  if (!vxr::szdd::HasHeader(std::span(data, size)) && (out.size() != size)) std::abort();
  return 0;
}
