// Packages built from the demo product: its eight files, the table as the
// engine reads it, and the tool's own check. The installation tests take such
// packages through the whole setup, signed ones included.
#include "tools/vxrpack/package.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "format/pe_image.h"
#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tools/demo/demo_product.h"

namespace vxr::pack {
namespace {

using test::Bytes;

TEST(DemoProduct, EightFilesThatSayTheyAreDemos) {
  for (const auto programs : {demo::Programs::kI686, demo::Programs::kX86_64}) {
    const auto files = demo::DemoProduct(programs);
    ASSERT_EQ(files.size(), kProductFiles.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
      const auto& [name, bytes] = files[i];
      SCOPED_TRACE(name);
      EXPECT_EQ(name, kProductFiles[i]);
      const bool exe = name.ends_with(".exe"), wav = name.ends_with(".wav");
      const auto headers = pe::ParseHeaders(bytes);
      EXPECT_EQ(headers && headers->is64 == (programs == demo::Programs::kX86_64), exe);
      EXPECT_EQ(bytes.size() > 44 &&
                    std::string(bytes.begin(), bytes.begin() + 12).replace(4, 4, "....") == "RIFF....WAVE",
                wav);
      const std::string_view mark = wav ? "Demo sound" : exe ? "DEMO" : "DEMO PLACEHOLDER";
      EXPECT_NE(std::search(bytes.begin(), bytes.end(), mark.begin(), mark.end()), bytes.end());
    }
  }
}

// The tool's own check of a package it built (that the setup reads its table
// and pieces: the installation tests, which install such packages) finds every
// piece sound, and catches one changed byte in any piece by its CRC.
TEST(Package, TheCheckFindsEveryDamagedPiece) {
  const auto product = demo::DemoProduct();
  BuiltPackage built;
  std::string error;
  ASSERT_TRUE(BuildPackage(test::MakeStub(), product, built, error)) << error;
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
