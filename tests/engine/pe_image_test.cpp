#include "engine/pe_image.h"

#include <gtest/gtest.h>

#include "engine/payload_format.h"
#include "tests/support/pe_builder.h"

namespace vxr {
namespace {

using test::MakePeImage;

TEST(PeImage, FindsSectionsAndSecurityDirectoryInBothFormats) {
  for (const bool is64 : {false, true}) {
    SCOPED_TRACE(is64 ? "PE32+" : "PE32");
    const auto image = MakePeImage(is64,
                                   {{".text", 0x1234, 0x1000, 0x1400, 0x400},
                                    {".vxrpay", 0x310, 0x3000, 0x400, 0x1800},
                                    {".rsrc", 0x10, 0x4000, 0x200, 0x1C00}},
                                   0x2000, 0x5A8);
    const auto headers = pe::ParseHeaders(image);
    ASSERT_TRUE(headers);
    EXPECT_EQ(headers->is64, is64);
    EXPECT_EQ(headers->sectionCount, 3);
    EXPECT_EQ(headers->securityOffset, 0x2000u);
    EXPECT_EQ(headers->securitySize, 0x5A8u);

    const auto payload = pe::FindSection(image, payload::kSectionName);
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->fileOffset, 0x1800u);
    EXPECT_EQ(payload->rawSize, 0x400u);
    EXPECT_EQ(payload->virtualAddress, 0x3000u);
    EXPECT_EQ(payload->virtualSize, 0x310u);
    const char missing[8] = {'.', 'n', 'o', 'n', 'e'};
    EXPECT_FALSE(pe::FindSection(image, missing));
  }
}

TEST(PeImage, RefusesWhatIsNotAWholeImage) {
  const auto good = MakePeImage(false, {{".text", 1, 0x1000, 0x200, 0x400}});
  // Every prefix that cuts the headers or the section table is refused, never read past.
  const std::size_t tableEnd = 0x80 + 24 + 224 + 40;
  for (std::size_t n = 0; n < tableEnd; ++n) {
    EXPECT_FALSE(pe::ParseHeaders(std::span(good.data(), n))) << n << " bytes";
  }
  EXPECT_TRUE(pe::ParseHeaders(std::span(good.data(), tableEnd)));

  auto bad = good;
  bad[0] = 'X';
  EXPECT_FALSE(pe::ParseHeaders(bad));
  bad = good;
  test::Put32(bad, 0x3C, 0xFFFFFFF0u);  // e_lfanew far outside
  EXPECT_FALSE(pe::ParseHeaders(bad));
  bad = good;
  test::Put16(bad, 0x80 + 24, 0x107);  // a ROM image's magic
  EXPECT_FALSE(pe::ParseHeaders(bad));
  bad = good;
  test::Put16(bad, 0x80 + 6, 0xFFFF);  // more sections than bytes
  EXPECT_FALSE(pe::ParseHeaders(bad));
  bad = good;
  test::Put32(bad, 0x80 + 24 + 92, 4);  // directories end before the security one
  const auto headers = pe::ParseHeaders(bad);
  ASSERT_TRUE(headers);
  EXPECT_EQ(headers->securitySize, 0u);
}

}  // namespace
}  // namespace vxr
