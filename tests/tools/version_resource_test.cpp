// The version resource as `vxrpack --version` reads it from whatever --stub
// names. Wine's DLLs carry resources written by another resource compiler
// than ours, in PE32 and PE32+ images; the stub's own is checked through
// --version in tests/tools/packages.sh.
#include "tools/vxrpack/version_resource.h"

#include <gtest/gtest.h>

#include "format/pe_image.h"
#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"

namespace vxr::test {
namespace {

const std::filesystem::path kWineDlls32 = "/usr/lib/i386-linux-gnu/wine/i386-windows";

TEST(VersionResourceTest, ReadsOtherCompilersResourcesAndNamesWhatIsMissing) {
  for (const auto& dll : {kWineDlls / "version.dll", kWineDlls32 / "dplay.dll"}) {
    std::string error;
    const auto version = pack::ReadImageVersion(ReadFile(dll), error);
    ASSERT_TRUE(version) << dll << ": " << error;
    // The string ("5.3" in dplay.dll) and the numbers are written apart; they agree on major.minor.
    const std::string majorMinor =
        std::to_string(version->product[0]) + "." + std::to_string(version->product[1]);
    EXPECT_EQ(version->productText.substr(0, majorMinor.size()), majorMinor) << dll;
  }
  std::string error;
  EXPECT_FALSE(pack::ReadImageVersion(MakeStub(), error));
  EXPECT_EQ(error, "has no version resource");
  EXPECT_FALSE(pack::ReadImageVersion(Bytes{'M', 'Z', 0, 0}, error));
  EXPECT_EQ(error, "is not a Windows program (no PE headers)");
}

// Every byte of the headers and the resources damaged in turn, and the image
// cut short at every length within them: an error or a version, never a read
// out of bounds (the host tests run under AddressSanitizer).
TEST(VersionResourceTest, DamagedOrCutShortIsAnErrorNeverAReadOutOfBounds) {
  for (const auto& dll : {kWineDlls / "version.dll", kWineDlls32 / "version.dll"}) {
    SCOPED_TRACE(dll);
    Bytes image = ReadFile(dll);
    const auto rsrc = pe::FindSection(image, std::span<const char, 8>(".rsrc\0\0", 8));
    ASSERT_TRUE(rsrc);
    const std::size_t end = std::min<std::size_t>(image.size(), rsrc->fileOffset + rsrc->rawSize);
    int refused = 0;
    const auto read = [&](std::span<const std::uint8_t> bytes) {
      std::string error;
      if (pack::ReadImageVersion(bytes, error)) return;
      ++refused;
      EXPECT_FALSE(error.empty());
    };
    for (std::size_t length = rsrc->fileOffset; length < end; ++length) read(std::span(image).first(length));
    for (std::size_t at = 0; at < end; at = at + 1 == pe::kHeaderProbeBytes ? rsrc->fileOffset : at + 1) {
      image[at] ^= 0xFF;
      read(image);
      image[at] ^= 0xFF;
    }
    EXPECT_GT(refused, 0);
  }
}

}  // namespace
}  // namespace vxr::test
