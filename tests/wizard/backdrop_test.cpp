// The backdrop's size and bands.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "tests/support/test_machine.h"
#include "wizard/form2.h"
#include "wizard/module1.h"

namespace vxr::test {
namespace {

struct Backdrop {
  TestMachine machine;
  Backdrop(platform::PixelRect area) {
    ResetProgram();
    headless::SetWorkArea(area);
    TheForm2().Show();
  }
  ~Backdrop() { ResetProgram(); }
  platform::Form& Window() { return TheForm2().Window(); }
  std::uint32_t Blue(int k) { return (Window().Colour(TheForm2().Shape1(k)) >> 16) & 0xFF; }
};

TEST(BackdropTest, FillsTheScreenWithShadedBands) {
  Backdrop backdrop({0, 0, 1024, 768});
  auto& window = backdrop.Window();
  EXPECT_EQ(window.Bounds(platform::kWindow).width, 1024 * 15);
  EXPECT_EQ(window.Bounds(platform::kWindow).height, 13824);
  ASSERT_EQ(TheForm2().BandCount(), 187) << "bands 0 to 186";
  EXPECT_EQ(backdrop.Blue(0), 0u);
  EXPECT_EQ(backdrop.Blue(1), 3u);
  EXPECT_EQ(backdrop.Blue(80), 240u);
  EXPECT_EQ(backdrop.Blue(81), 237u);
  EXPECT_EQ(backdrop.Blue(159), 3u);
  EXPECT_EQ(backdrop.Blue(160), 6u);
  EXPECT_EQ(backdrop.Blue(161), 3u);
  for (int k = 1; k < TheForm2().BandCount(); ++k) {
    const auto band = window.Bounds(TheForm2().Shape1(k));
    const auto above = window.Bounds(TheForm2().Shape1(k - 1));
    ASSERT_EQ(band.top, above.top + above.height) << k;
    ASSERT_EQ(band.width, 1024 * 15) << k;
    ASSERT_LE(backdrop.Blue(k), 240u) << k;
    ASSERT_TRUE(window.Visible(TheForm2().Shape1(k))) << k;
  }
}

TEST(BackdropTest, HeightComesFromTheWorkAreasBottomEdge) {
  {
    Backdrop backdrop({0, 0, 800, 600});
    EXPECT_EQ(backdrop.Window().Bounds(platform::kWindow).height, 10800);
    EXPECT_EQ(TheForm2().BandCount(), 147) << "bands 0 to 146";
  }
  Backdrop topTaskBar({0, 30, 1024, 768});
  EXPECT_EQ(topTaskBar.Window().Bounds(platform::kWindow).height, 13824);
}

}  // namespace
}  // namespace vxr::test
