// The demo product: the eight files the setup expects, each saying that it is
// a demo.
#include "tools/demo/demo_product.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vxr::demo {
namespace {

bool Contains(const std::vector<std::uint8_t>& bytes, std::string_view text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

std::uint16_t Machine(const std::vector<std::uint8_t>& exe) {
  const std::size_t pe = exe[0x3C] | (exe[0x3D] << 8);
  return static_cast<std::uint16_t>(exe[pe + 4] | (exe[pe + 5] << 8));
}

TEST(DemoProduct, EightFilesThatSayTheyAreDemos) {
  for (const Programs programs : {Programs::kI686, Programs::kX86_64}) {
    const auto files = DemoProduct(programs);
    ASSERT_EQ(files.size(), pack::kProductFiles.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
      const auto& f = files[i];
      SCOPED_TRACE(f.installedName);
      EXPECT_EQ(f.installedName, pack::kProductFiles[i]);
      if (f.installedName.ends_with(".wav")) {
        ASSERT_GT(f.bytes.size(), 44u);
        EXPECT_TRUE(std::equal(f.bytes.begin(), f.bytes.begin() + 4, "RIFF"));
        EXPECT_TRUE(std::equal(f.bytes.begin() + 8, f.bytes.begin() + 12, "WAVE"));
        EXPECT_TRUE(Contains(f.bytes, "Demo sound"));
      } else if (f.installedName.ends_with(".exe")) {
        EXPECT_EQ(f.bytes[0], 'M');
        EXPECT_EQ(Machine(f.bytes), programs == Programs::kI686 ? 0x14C : 0x8664);
        EXPECT_TRUE(Contains(f.bytes, "DEMO")) << "the program must say it is a demo";
      } else {
        EXPECT_TRUE(Contains(f.bytes, "DEMO PLACEHOLDER"));
      }
    }
  }
  // The running-copy check of the setup looks for these window titles.
  const auto main = DemoProduct()[0].bytes;
  EXPECT_TRUE(Contains(main, "Tarvo's Screen Recorder"));
  EXPECT_TRUE(Contains(main, "Screen Recorder Settings"));
}

}  // namespace
}  // namespace vxr::demo
