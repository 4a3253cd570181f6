// Packages built from the demo product: the layout behind the stub, the table
// as the engine reads it, and the tool's own check. The installation tests
// take such packages through the whole setup, signed ones included.
#include "tools/vxrpack/package.h"

#include <gtest/gtest.h>

#include <cstring>

#include "codec/szdd_expander.h"
#include "common/crc32.h"
#include "engine/payload_table.h"
#include "engine/pe_image.h"
#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tools/demo/demo_product.h"

namespace vxr::pack {
namespace {

using test::Bytes;

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

payload::Table TableIn(const Bytes& package) {
  std::string error;
  const auto at = LocateTable(package, error);
  EXPECT_TRUE(at) << error;
  payload::Table table{};
  if (at) std::memcpy(&table, package.data() + *at, sizeof table);
  return table;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_ = demo::DemoProduct();
    std::string error;
    ASSERT_TRUE(BuildPackage(test::MakeStub(), product_, built_, error)) << error;
  }

  std::vector<ProductFile> product_;
  BuiltPackage built_;
};

// The engine reads the table the tool wrote; the package is the stub (only its
// table changed), zeros up to a multiple of 8, then the pieces in file order
// (the reverse of the table's) and nothing after them; the tool's own check
// agrees.
TEST_F(PackageTest, PiecesBehindTheStubMatchTheTableAndExpandToTheirFiles) {
  const auto table = ReadPayloadTable(TableIn(built_.bytes));
  ASSERT_TRUE(table) << "the engine refuses the table the tool wrote";
  const Bytes stub = test::MakeStub();
  const auto section = pe::FindSection(built_.bytes, payload::kSectionName);
  ASSERT_TRUE(section);
  EXPECT_EQ(0, std::memcmp(stub.data(), built_.bytes.data(), section->fileOffset));
  const std::size_t tableEnd = section->fileOffset + sizeof(payload::Table);
  EXPECT_EQ(0, std::memcmp(stub.data() + tableEnd, built_.bytes.data() + tableEnd, stub.size() - tableEnd));
  EXPECT_EQ(built_.bytes.size() % 8, 0u);

  std::size_t end = built_.bytes.size();
  for (std::size_t i = 0; i < table->size(); ++i) {
    const PayloadPiece& row = (*table)[i];
    SCOPED_TRACE(product_[i].installedName);
    EXPECT_EQ(row.installedName, Wide(std::string(kProductFiles[i])));
    EXPECT_EQ(row.storedName, Wide(StoredName(kProductFiles[i])));
    EXPECT_EQ(static_cast<std::size_t>(row.distance), built_.bytes.size() - end);
    const auto piece = std::span(built_.bytes).subspan(end - static_cast<std::size_t>(row.length));
    EXPECT_TRUE(szdd::HasHeader(piece));
    ASSERT_TRUE(row.crc);
    EXPECT_EQ(Crc32(piece.first(static_cast<std::size_t>(row.length))), *row.crc);
    end -= static_cast<std::size_t>(row.length);
  }
  EXPECT_EQ(end, stub.size() + built_.padding);
  for (std::size_t i = stub.size(); i < end; ++i) EXPECT_EQ(built_.bytes[i], 0);

  PackageCheck check;
  std::string error;
  ASSERT_TRUE(CheckPackage(built_.bytes, check, error)) << error;
  EXPECT_TRUE(check.AllSound());
  EXPECT_FALSE(check.signedPackage);
  for (std::size_t i = 0; i < check.pieces.size(); ++i) {
    EXPECT_EQ(check.pieces[i].originalSize, product_[i].bytes.size());
  }
}

TEST_F(PackageTest, OneChangedByteInAnyPieceIsCaughtByItsCrc) {
  for (std::size_t victim = 0; victim < built_.pieces.size(); ++victim) {
    SCOPED_TRACE(built_.pieces[victim].storedName);
    // Pieces are counted back from the end; change one byte in the middle of this one.
    const PieceReport& p = built_.pieces[victim];
    Bytes damaged = built_.bytes;
    const std::size_t at =
        damaged.size() - static_cast<std::size_t>(p.distance) - static_cast<std::size_t>(p.length) / 2 - 1;
    damaged[at] ^= 0x10;

    PackageCheck check;
    std::string error;
    ASSERT_TRUE(CheckPackage(damaged, check, error)) << error;
    for (std::size_t i = 0; i < check.pieces.size(); ++i) {
      EXPECT_EQ(check.pieces[i].problem.empty(), i != victim) << check.pieces[i].storedName;
    }
    EXPECT_EQ(check.pieces[victim].problem, "CRC-32 mismatch");
  }
}

TEST_F(PackageTest, StubsThatCannotCarryTheTableAreRefused) {
  struct Case {
    const char* what;
    Bytes stub;
    const char* message;
  };
  payload::Table wrongVersion{};
  wrongVersion.magic = payload::kMagic;
  wrongVersion.version = payload::kFormatVersion + 1;
  wrongVersion.count = payload::kPieceCount;
  payload::Table noMagic{};
  // A security directory entry, as a signed stub has.
  Bytes signedStub = test::MakeStub({.securityOffset = 0xA00, .securitySize = 8});
  signedStub.resize(0xA08, 0);
  const Case cases[] = {
      {"text file", Bytes{'h', 'e', 'l', 'l', 'o'}, "not a PE image"},
      {"no section", test::MakeStub({.withTableSection = false}), "no .vxrpay section"},
      {"no magic", test::MakeStub({.withTableSection = true, .table = noMagic}), "magic"},
      {"wrong version", test::MakeStub({.withTableSection = true, .table = wrongVersion}), "version"},
      {"signed", signedStub, "signed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BuiltPackage out;
    std::string error;
    EXPECT_FALSE(BuildPackage(c.stub, product_, out, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace vxr::pack
