// Packages built from the demo product: its eight files, the layout behind the
// stub, the table as the engine reads it, and the tool's own check. The
// installation tests take such packages through the whole setup, signed ones
// included.
#include "tools/vxrpack/package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/crc32.h"
#include "engine/payload_table.h"
#include "engine/pe_image.h"
#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tools/demo/demo_product.h"
#include "tools/vxrpack/szdd_compressor.h"

namespace vxr::pack {
namespace {

using test::Bytes;

bool Contains(const Bytes& bytes, std::string_view text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST(DemoProduct, EightFilesThatSayTheyAreDemos) {
  for (const auto programs : {demo::Programs::kI686, demo::Programs::kX86_64}) {
    const auto files = demo::DemoProduct(programs);
    ASSERT_EQ(files.size(), kProductFiles.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
      const auto& [name, bytes] = files[i];
      SCOPED_TRACE(name);
      EXPECT_EQ(name, kProductFiles[i]);
      if (name.ends_with(".wav")) {
        EXPECT_TRUE(bytes.size() > 44 &&
                    std::string(bytes.begin(), bytes.begin() + 12).replace(4, 4, "....") == "RIFF....WAVE");
        EXPECT_TRUE(Contains(bytes, "Demo sound"));
      } else if (name.ends_with(".exe")) {
        const auto headers = pe::ParseHeaders(bytes);
        EXPECT_TRUE(headers && headers->is64 == (programs == demo::Programs::kX86_64));
        EXPECT_TRUE(Contains(bytes, "DEMO")) << "the program must say it is a demo";
      } else {
        EXPECT_TRUE(Contains(bytes, "DEMO PLACEHOLDER"));
      }
    }
  }
}

// The engine reads the table the tool wrote; the package is the stub (only its
// table changed), zeros up to a multiple of 8, then the compressed files in
// the reverse of the table's order and nothing after them. The tool's own
// check agrees, and catches one changed byte in any piece by its CRC.
TEST(Package, PiecesBehindTheStubMatchTheTableAndTheCheck) {
  const auto product = demo::DemoProduct();
  BuiltPackage built;
  std::string error;
  ASSERT_TRUE(BuildPackage(test::MakeStub(), product, built, error)) << error;
  const auto section = pe::FindSection(built.bytes, payload::kSectionName);
  ASSERT_TRUE(section);
  payload::Table raw{};
  std::memcpy(&raw, built.bytes.data() + section->fileOffset, sizeof raw);
  const auto table = ReadPayloadTable(raw);
  ASSERT_TRUE(table) << "the engine refuses the table the tool wrote";
  std::vector<Bytes> pieces;
  std::size_t distance = 0;
  for (std::size_t i = 0; i < table->size(); ++i) {
    const PayloadPiece& row = (*table)[i];
    const std::string& name = product[i].installedName;
    SCOPED_TRACE(name);
    EXPECT_EQ(row.installedName, std::wstring(name.begin(), name.end()));
    EXPECT_EQ(row.storedName, std::wstring(name.begin(), name.end() - 1) + L"_");
    pieces.push_back(CompressSzdd(product[i].bytes, name.back()).value());
    EXPECT_EQ(static_cast<std::size_t>(row.distance), distance);
    EXPECT_EQ(static_cast<std::size_t>(row.length), pieces.back().size());
    EXPECT_EQ(row.crc, Crc32(pieces.back()));
    distance += pieces.back().size();
  }
  Bytes expected = test::MakeStub();
  std::memcpy(expected.data() + section->fileOffset, &raw, sizeof raw);
  expected.resize((expected.size() + distance + 7) / 8 * 8 - distance, 0);
  for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece)
    expected.insert(expected.end(), piece->begin(), piece->end());
  EXPECT_TRUE(built.bytes == expected);

  PackageCheck check;
  ASSERT_TRUE(CheckPackage(built.bytes, check, error)) << error;
  EXPECT_TRUE(check.AllSound());
  EXPECT_FALSE(check.signedPackage);
  for (std::size_t i = 0; i < check.pieces.size(); ++i)
    EXPECT_EQ(check.pieces[i].originalSize, product[i].bytes.size());

  for (std::size_t victim = 0; victim < built.pieces.size(); ++victim) {
    const PieceReport& p = built.pieces[victim];
    SCOPED_TRACE(p.storedName);
    Bytes damaged = built.bytes;
    damaged[damaged.size() - static_cast<std::size_t>(p.distance + p.length / 2) - 1] ^= 0x10;
    ASSERT_TRUE(CheckPackage(damaged, check, error)) << error;
    for (std::size_t i = 0; i < check.pieces.size(); ++i)
      EXPECT_EQ(check.pieces[i].problem, i == victim ? "CRC-32 mismatch" : "") << check.pieces[i].storedName;
  }
}

TEST(Package, StubsThatCannotCarryTheTableAreRefused) {
  const payload::Table wrongVersion{
      payload::kMagic, payload::kFormatVersion + 1, payload::kPieceCount, {}, {}};
  // A security directory entry, as a signed stub has.
  Bytes signedStub = test::MakeStub({.securityOffset = 0xA00, .securitySize = 8});
  signedStub.resize(0xA08, 0);
  const std::pair<Bytes, const char*> cases[] = {
      {Bytes{'h', 'e', 'l', 'l', 'o'}, "not a PE image"},
      {test::MakeStub({.withTableSection = false}), "no .vxrpay section"},
      {test::MakeStub({.withTableSection = true, .table = payload::Table{}}), "magic"},
      {test::MakeStub({.withTableSection = true, .table = wrongVersion}), "version"},
      {signedStub, "signed"},
  };
  for (const auto& [stub, message] : cases) {
    BuiltPackage out;
    std::string error;
    EXPECT_FALSE(BuildPackage(stub, demo::DemoProduct(), out, error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace vxr::pack
