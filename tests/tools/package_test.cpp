// Packages built from the demo product, read back the way the setup reads
// them: the engine's payload table reader and ExtractPiece on the headless
// platform, then the expander.
#include "tools/vxrpack/package.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/crc32.h"
#include "engine/extract_piece.h"
#include "engine/payload_table.h"
#include "engine/pe_image.h"
#include "codec/szdd_expander.h"
#include "platform/headless/headless.h"
#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tests/support/test_machine.h"
#include "tests/tools/run_tool.h"
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

  // Every piece through ExtractPiece into the staging folder and expanded;
  // the number that came back equal to its product file.
  int ExtractAll(const Bytes& package, std::vector<std::wstring>* boxes = nullptr) {
    test::TestMachine machine;
    machine.MakeFolders(L"C:\\WINDOWS\\TEMP\\VXRTMP");
    test::WriteFile(machine.Host(L"C:\\VXRSetup.exe"), package);
    const auto table = ReadPayloadTable(TableIn(package));
    EXPECT_TRUE(table);
    if (!table) return 0;
    int good = 0;
    for (std::size_t i = 0; i < table->size(); ++i) {
      const PayloadPiece& piece = (*table)[i];
      const std::wstring staging = L"C:\\WINDOWS\\TEMP\\VXRTMP\\" + piece.storedName;
      if (!ExtractPiece(L"C:\\VXRSetup.exe", staging, piece.length, piece.distance, piece.crc)) continue;
      Bytes expanded;
      const Bytes compressed = test::ReadFile(machine.Host(staging));
      if (szdd::ExpandBuffer(compressed, expanded) >= 0 && expanded == product_[i].bytes) ++good;
    }
    for (const auto& box : headless::ShownBoxes()) {
      if (boxes) boxes->push_back(box.text);
    }
    return good;
  }

  std::vector<ProductFile> product_;
  BuiltPackage built_;
};

// The engine reads the table the tool wrote; the package is the stub (only its
// table changed), zeros up to a multiple of 8, then the pieces in file order
// (the reverse of the table's) and nothing after them; every piece extracts and
// expands to its file, and the tool's own check agrees.
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

  EXPECT_EQ(ExtractAll(built_.bytes), 8);
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

    std::vector<std::wstring> boxes;
    EXPECT_EQ(ExtractAll(damaged, &boxes), 7);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(Wide(p.storedName)), std::wstring::npos);
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

// A package signed after building, as a vendor would: osslsigncode appends a
// certificate table and points the security directory at it. The pieces now
// end where that table starts.
TEST_F(PackageTest, SignedPackageStillGivesEveryPiece) {
  const test::ScratchDir dir("sign");
  test::WriteFile(dir / "package.exe", built_.bytes);
  const std::string d = test::Quote(dir.path().string());
  const auto keys = test::RunCommand(
      "cd " + d + " && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 " +
          "-subj '/CN=VXR Setup test signer'",
      dir.path());
  ASSERT_EQ(keys.exitCode, 0) << keys.err;
  const auto sign = test::RunCommand(
      "cd " + d + " && osslsigncode sign -certs cert.pem -key key.pem -n 'VXR Setup test' -in package.exe " +
          "-out signed.exe",
      dir.path());
  ASSERT_EQ(sign.exitCode, 0) << sign.out << sign.err;

  const Bytes signedPackage = test::ReadFile(dir / "signed.exe");
  const auto headers = pe::ParseHeaders(signedPackage);
  ASSERT_TRUE(headers);
  ASSERT_NE(headers->securitySize, 0u);
  EXPECT_EQ(headers->securityOffset, built_.bytes.size()) << "the signer padded behind the last piece";

  PackageCheck check;
  std::string error;
  ASSERT_TRUE(CheckPackage(signedPackage, check, error)) << error;
  EXPECT_TRUE(check.signedPackage);
  EXPECT_TRUE(check.AllSound());
  EXPECT_EQ(ExtractAll(signedPackage), 8);

  const auto list = test::RunVxrpack(dir.path(), "list", (dir / "signed.exe").string());
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("signed"), std::string::npos) << list.out;

  // Bytes added after the certificate table: no longer a signature that ends
  // the file, so the pieces are looked for at the very end and not found.
  Bytes appended = signedPackage;
  appended.push_back(0);
  ASSERT_TRUE(CheckPackage(appended, check, error)) << error;
  EXPECT_FALSE(check.signedPackage);
  EXPECT_FALSE(check.AllSound());
}

}  // namespace
}  // namespace vxr::pack
