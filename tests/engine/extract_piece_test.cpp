#include "engine/extract_piece.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/crc32.h"
#include "platform/headless/headless.h"
#include "tests/support/pe_builder.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

constexpr wchar_t kPackage[] = L"C:\\SETUP\\setup.exe";
constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_";
const std::wstring kFailure = L"File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_' could not be written!";

struct Piece {
  std::string bytes;
  std::int32_t length, distance;
};

// A package laid out like the shipped one: an image, then pieces back to back
// with the main program last; distances counted from the end.
class ExtractPieceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolders(L"C:\\SETUP");
    machine_.MakeFolders(L"C:\\WINDOWS\\TEMP\\VXRTMP");
    // In file order; processing order is the reverse.
    const std::vector<std::size_t> sizes = {5769, 299, 33, 38, 29, 105, 25, 6696};
    std::int32_t distance = 0;
    for (std::size_t i = sizes.size(); i-- > 0;) {
      std::string bytes(sizes[i], '\0');
      for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<char>((k * 131 + i * 7 + 1) & 0xFF);
      pieces_.push_back({bytes, static_cast<std::int32_t>(bytes.size()), distance});
      distance += static_cast<std::int32_t>(bytes.size());
    }
  }

  std::string Payload() const {
    std::string out;
    for (auto it = pieces_.rbegin(); it != pieces_.rend(); ++it) out += it->bytes;
    return out;
  }

  void WritePackage(std::size_t imageSize, const std::string& after = {}) const {
    machine_.WriteFile(kPackage, std::string(imageSize, 'I') + Payload() + after);
  }

  std::size_t BoxCount() const { return headless::ShownBoxes().size(); }

  test::TestMachine machine_;
  std::vector<Piece> pieces_;  // processing order
};

// Paths are trimmed, and a longer staging file left from before is cut to the
// piece.
TEST_F(ExtractPieceTest, EveryPieceComesOutWhateverTheImageSize) {
  machine_.WriteFile(kStaging, std::string(100000, 'x'));
  for (const std::size_t image : {1131u, 1u, 40000u}) {
    SCOPED_TRACE(image);
    WritePackage(image);
    for (const auto& piece : pieces_) {
      ASSERT_TRUE(ExtractPiece(L"  C:\\SETUP\\setup.exe ", L" C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_  ",
                               piece.length, piece.distance));
      EXPECT_EQ(machine_.ReadFile(kStaging), piece.bytes);
    }
  }
  EXPECT_EQ(BoxCount(), 0u);
}

TEST_F(ExtractPieceTest, FailuresShowOneMessageNamingTheStagingFile) {
  WritePackage(100);
  const std::int32_t total = static_cast<std::int32_t>(Payload().size()) + 100;
  struct Case {
    const char* what;
    std::int32_t length, distance;
    const wchar_t* package;
    bool stagingCreated;
  };
  const Case cases[] = {
      {"length 0", 0, 0, kPackage, false},
      {"negative length", -5, 0, kPackage, false},
      {"start position 0", 10, total - 9, kPackage, true},
      {"distance past the start", 10, total + 50, kPackage, true},
      {"overflowing distance", 10, INT32_MIN + 5, kPackage, true},
      {"missing package", 10, 0, L"C:\\SETUP\\nothere.exe", false},
      {"package on an unmapped drive", 10, 0, L"Q:\\setup.exe", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(machine_.Host(kStaging));
    headless::ClearShownBoxes();
    EXPECT_FALSE(ExtractPiece(c.package, kStaging, c.length, c.distance));
    ASSERT_EQ(BoxCount(), 1u);
    const auto& box = headless::ShownBoxes()[0];
    EXPECT_EQ(box.text, kFailure);
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.style, 0x1030u);
    EXPECT_EQ(std::filesystem::exists(machine_.Host(kStaging)), c.stagingCreated);
  }
  // The piece that starts at byte 1 exactly is still fine.
  EXPECT_TRUE(ExtractPiece(kPackage, kStaging, 10, total - 10));
}

TEST_F(ExtractPieceTest, PlatformFailuresTakeTheFailurePath) {
  WritePackage(100);
  const auto& piece = pieces_[0];
  const std::pair<const char*, platform::DosError> failures[] = {
      {"RawOpenRead", platform::kErrorSharingViolation},
      {"RawOpenWrite", platform::kErrorAccessDenied},
      {"RawRead", 23},
      {"RawWrite", platform::kErrorDiskFull},
  };
  for (const auto& [operation, error] : failures) {
    SCOPED_TRACE(operation);
    headless::ClearShownBoxes();
    headless::InjectFailure(operation, L"C:\\", error);
    EXPECT_FALSE(ExtractPiece(kPackage, kStaging, piece.length, piece.distance));
    EXPECT_EQ(BoxCount(), 1u);
  }
  // A disk that fills up part way leaves a short file and a failure.
  headless::ClearShownBoxes();
  headless::FillDiskAfter(1000);
  EXPECT_FALSE(ExtractPiece(kPackage, kStaging, piece.length, piece.distance));
  EXPECT_EQ(machine_.ReadFile(kStaging).size(), 1000u);
  EXPECT_EQ(BoxCount(), 1u);
}

TEST_F(ExtractPieceTest, ChecksTheCrcWhenTheTableHasOne) {
  WritePackage(100);
  const auto& piece = pieces_[3];
  const auto* data = reinterpret_cast<const std::uint8_t*>(piece.bytes.data());
  const std::uint32_t crc = Crc32(std::span(data, piece.bytes.size()));
  EXPECT_TRUE(ExtractPiece(kPackage, kStaging, piece.length, piece.distance, crc));
  EXPECT_FALSE(ExtractPiece(kPackage, kStaging, piece.length, piece.distance, crc ^ 1));
  ASSERT_EQ(BoxCount(), 1u);
  EXPECT_EQ(headless::ShownBoxes()[0].text, kFailure);
  // A piece read from the wrong place (bytes added after the payload) fails the check too.
  WritePackage(100, "tail");
  EXPECT_FALSE(ExtractPiece(kPackage, kStaging, piece.length, piece.distance, crc));
}

TEST_F(ExtractPieceTest, SignedPackageCountsFromTheCertificateTable) {
  const std::string payload = Payload();
  const std::uint32_t imageSize = 1024;
  const std::string certificate(1448, 'C');
  for (const bool is64 : {false, true}) {
    SCOPED_TRACE(is64 ? "PE32+" : "PE32");
    const auto securityOffset = static_cast<std::uint32_t>(imageSize + payload.size());
    auto image = test::MakePeImage(is64, {{".text", 0x200, 0x1000, 0x200, 0x400}}, securityOffset,
                                   static_cast<std::uint32_t>(certificate.size()), imageSize);
    machine_.WriteFile(kPackage, std::string(image.begin(), image.end()) + payload + certificate);
    for (const auto& piece : pieces_) {
      ASSERT_TRUE(ExtractPiece(kPackage, kStaging, piece.length, piece.distance));
      EXPECT_EQ(machine_.ReadFile(kStaging), piece.bytes);
    }
    // A directory that does not end the file is someone else's business: the
    // pieces are counted from the end of the file again.
    test::Put32(image, test::SecurityDirectoryAt(is64) + 4,
                static_cast<std::uint32_t>(certificate.size() - 1));
    machine_.WriteFile(kPackage, std::string(image.begin(), image.end()) + payload + certificate);
    const auto& last = pieces_[0];
    ASSERT_TRUE(ExtractPiece(kPackage, kStaging, last.length, last.distance));
    EXPECT_EQ(machine_.ReadFile(kStaging),
              (payload + certificate).substr(payload.size() + certificate.size() - last.length));
  }
}

}  // namespace
}  // namespace vxr
