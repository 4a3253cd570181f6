#include "engine/extract_piece.h"

#include <gtest/gtest.h>

#include <span>

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
    for (const std::size_t size : {6696u, 25u, 105u, 5769u}) {
      std::string bytes(size, '\0');
      for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>((k * 131 + size) & 0xFF);
      pieces_.push_back({bytes, static_cast<std::int32_t>(size), static_cast<std::int32_t>(payload_.size())});
      payload_ = bytes + payload_;
    }
    machine_.WriteFile(kPackage, std::string(100, 'I') + payload_);
  }

  test::TestMachine machine_;
  std::vector<Piece> pieces_;  // processing order
  std::string payload_;
};

// Bad arguments and platform failures: one message naming the staging file.
// Bytes that are not what was packed (a package too short for the piece): one
// message that the package is damaged. (A CRC-32 that does not match, and a
// staging file that cannot be opened: the installation tests.)
TEST_F(ExtractPieceTest, FailuresShowOneMessageSayingWhatToDo) {
  const std::int32_t total = static_cast<std::int32_t>(payload_.size()) + 100, length = pieces_[0].length;
  const std::wstring damaged = L"The setup file 'C:\\SETUP\\setup.exe' is damaged. Please download it again.";
  const std::uint32_t crc = Crc32(std::span(reinterpret_cast<const std::uint8_t*>(payload_.data()) +
                                                payload_.size() - static_cast<std::size_t>(length),
                                            static_cast<std::size_t>(length)));
  const struct {
    const char* what;
    std::int32_t length, distance;
    const wchar_t* package;
    bool stagingCreated;
    platform::DosError error = 0;  // injected into the operation `what`, when not 0
    bool damaged = false;
  } cases[] = {
      {"length 0", 0, 0, kPackage, false},
      {"start position 0", 10, total - 9, kPackage, true, 0, true},
      {"distance past the start", 10, total + 50, kPackage, true, 0, true},
      {"overflowing distance", 10, INT32_MIN + 5, kPackage, true, 0, true},
      {"missing package", 10, 0, L"C:\\SETUP\\nothere.exe", false},
      {"RawRead", length, 0, kPackage, true, 23},
      {"RawWrite", length, 0, kPackage, true, platform::kErrorDiskFull},
      // Put there by something else: not written through, not emptied.
      {"staging file there already", length, 0, kPackage, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(machine_.Host(kStaging));
    if (c.what == std::string_view("staging file there already")) machine_.WriteFile(kStaging, "not ours");
    headless::ClearShownBoxes();
    if (c.error) headless::InjectFailure(c.what, L"C:\\", c.error);
    EXPECT_FALSE(ExtractPiece(c.package, kStaging, c.length, c.distance));
    ASSERT_EQ(headless::ShownBoxes().size(), 1u);
    const auto& box = headless::ShownBoxes()[0];
    EXPECT_EQ(box.text, c.damaged ? damaged : kFailure);
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.style, 0x1030u);
    EXPECT_EQ(std::filesystem::exists(machine_.Host(kStaging)), c.stagingCreated);
  }
  EXPECT_EQ(machine_.ReadFile(kStaging), "not ours");
  // The piece that starts at byte 1 exactly is still fine; paths are trimmed.
  std::filesystem::remove(machine_.Host(kStaging));
  EXPECT_TRUE(
      ExtractPiece(L"  C:\\SETUP\\setup.exe ", L" C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_  ", 10, total - 10));
  EXPECT_EQ(machine_.ReadFile(kStaging), std::string(10, 'I'));
  std::filesystem::remove(machine_.Host(kStaging));
  EXPECT_TRUE(ExtractPiece(kPackage, kStaging, length, 0, crc)) << "the right CRC-32";
}

// A signed package counts from its certificate table; a directory that does
// not end the file is someone else's: pieces count from the file's end again.
TEST_F(ExtractPieceTest, SecurityDirectoryNotEndingTheFileIsIgnored) {
  const std::string certificate(1448, 'C');
  const auto image = test::MakePeImage(false, {{".text", 0x200, 0x1000, 0x200, 0x400}},
                                       static_cast<std::uint32_t>(1024 + payload_.size()),
                                       static_cast<std::uint32_t>(certificate.size() - 1), 1024);
  machine_.WriteFile(kPackage, std::string(image.begin(), image.end()) + payload_ + certificate);
  std::filesystem::remove(machine_.Host(kStaging));
  ASSERT_TRUE(ExtractPiece(kPackage, kStaging, pieces_[0].length, pieces_[0].distance));
  const std::string whole = payload_ + certificate;
  EXPECT_EQ(machine_.ReadFile(kStaging), whole.substr(whole.size() - pieces_[0].length));
}

}  // namespace
}  // namespace vxr
