// The backdrop's size and bands.
#include <gtest/gtest.h>

#include <cstdlib>

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

// As a person sees it: bands without gaps over the whole width and below the
// bottom edge, shading from black up to the brightest blue and back down in
// steps too small to see.
TEST(BackdropTest, BandsCoverItAndShadeSmoothly) {
  for (const int bottom : {768, 600}) {
    SCOPED_TRACE(bottom);
    Backdrop backdrop({0, 0, 1024, bottom});
    auto& window = backdrop.Window();
    const auto size = window.Bounds(platform::kWindow);
    EXPECT_EQ(size.width, 1024 * 15);
    EXPECT_EQ(window.Bounds(TheForm2().Shape1(0)).top, 0);
    EXPECT_EQ(backdrop.Blue(0), 0u);
    int brightest = 0;
    for (int k = 1; k < TheForm2().BandCount(); ++k) {
      const auto band = window.Bounds(TheForm2().Shape1(k));
      const auto above = window.Bounds(TheForm2().Shape1(k - 1));
      ASSERT_EQ(band.top, above.top + above.height) << k;
      ASSERT_EQ(band.width, size.width) << k;
      ASSERT_TRUE(window.Visible(TheForm2().Shape1(k))) << k;
      ASSERT_EQ(window.Colour(TheForm2().Shape1(k)) & 0xFFFF, 0u) << "band " << k << " is not pure blue";
      const int step = static_cast<int>(backdrop.Blue(k)) - static_cast<int>(backdrop.Blue(k - 1));
      ASSERT_EQ(std::abs(step), 3) << k;
      if (backdrop.Blue(k) > backdrop.Blue(brightest)) brightest = k;
    }
    EXPECT_EQ(brightest, 80);
    EXPECT_EQ(backdrop.Blue(brightest), 240u);
    const auto last = window.Bounds(TheForm2().Shape1(TheForm2().BandCount() - 1));
    EXPECT_GT(last.top, size.height) << "the bands stop short of the bottom edge";
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
