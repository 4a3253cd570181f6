// The backdrop's size and bands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "platform/headless/headless.h"
#include "tests/support/test_machine.h"
#include "wizard/form2.h"
#include "wizard/module1.h"

namespace vxr::test {
namespace {

// As a person sees it: as high as the work area's bottom edge and a fifth more
// (a task bar on top does not shorten it), bands without gaps over the whole
// width and below the bottom edge, shading from black up to the brightest blue
// and back down in steps too small to see.
TEST(BackdropTest, BandsCoverItAndShadeSmoothly) {
  // The work area, the backdrop's height and its bands (0: not counted).
  const std::tuple<platform::PixelRect, int, int> cases[] = {{{0, 30, 1024, 768}, 13824, 0},
                                                             {{0, 0, 800, 600}, 10800, 147}};
  for (const auto& [area, height, bands] : cases) {
    SCOPED_TRACE(height);
    TestMachine machine;
    ResetProgram();
    headless::SetWorkArea(area);
    TheForm2().Show();
    auto& window = TheForm2().Window();
    auto blue = [&](int k) { return static_cast<int>((window.Colour(TheForm2().Shape1(k)) >> 16) & 0xFF); };
    const auto size = window.Bounds(platform::kWindow);
    EXPECT_EQ(size.width, area.right * 15);
    EXPECT_EQ(size.height, height);
    EXPECT_EQ(bands ? TheForm2().BandCount() : 0, bands);
    EXPECT_EQ(window.Bounds(TheForm2().Shape1(0)).top, 0);
    EXPECT_EQ(blue(0), 0);
    int brightest = 0;
    for (int k = 1; k < TheForm2().BandCount(); ++k) {
      const auto band = window.Bounds(TheForm2().Shape1(k));
      const auto above = window.Bounds(TheForm2().Shape1(k - 1));
      ASSERT_EQ(band.top, above.top + above.height) << k;
      ASSERT_EQ(band.width, size.width) << k;
      ASSERT_TRUE(window.Visible(TheForm2().Shape1(k))) << k;
      ASSERT_EQ(window.Colour(TheForm2().Shape1(k)) & 0xFFFF, 0u) << "band " << k << " is not pure blue";
      ASSERT_EQ(std::abs(blue(k) - blue(k - 1)), 3) << k;
      if (blue(k) > blue(brightest)) brightest = k;
    }
    EXPECT_EQ(brightest, 80);
    EXPECT_EQ(blue(brightest), 240);
    EXPECT_GT(window.Bounds(TheForm2().Shape1(TheForm2().BandCount() - 1)).top, size.height)
        << "the bands stop short of the bottom edge";
  }
  ResetProgram();
}

}  // namespace
}  // namespace vxr::test
