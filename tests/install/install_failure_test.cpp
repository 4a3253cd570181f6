// Pieces that fail: the main program ends the setup, any other is reported and
// the installation goes on.
#include <algorithm>

#include "platform/headless/registry_store.h"
#include "registration/product_settings.h"
#include "tests/install/install_fixture.h"

namespace vxr::test {
namespace {

using platform::registry::RootKey;

const std::wstring kStagedMain =
    L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!";

class PieceFailureTest : public InstallTest {
 protected:
  // Nothing of the registry or the Start menu, no staging folder, no finished state.
  void ExpectAbandoned() {
    EXPECT_TRUE(headless::ProgramHasEnded());
    EXPECT_FALSE(TheForm1().Finished());
    EXPECT_FALSE(Wizard().Visible(Form1::Check1));
    EXPECT_FALSE(Exists(kStaging));
    EXPECT_FALSE(headless::RegistryKeyExists(RootKey::LocalMachine, L"Software\\Ambretton"));
    EXPECT_FALSE(headless::RegistryKeyExists(RootKey::LocalMachine, kUninstallKey));
    EXPECT_EQ(GroupLinks(), std::vector<std::string>{});
  }
  void ExpectFinishedWithout(const std::vector<std::string>& missing) {
    EXPECT_FALSE(headless::ProgramHasEnded());
    EXPECT_TRUE(TheForm1().Finished());
    EXPECT_FALSE(Exists(kStaging));
    for (const auto& file : DemoFiles()) {
      if (std::find(missing.begin(), missing.end(), file.installedName) != missing.end()) continue;
      EXPECT_EQ(Installed(file.installedName), file.bytes) << file.installedName;
    }
    EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
              "\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"");
  }
};

// The table's CRC catches the damage: the piece is not extracted, and the
// expansion that still follows finds an empty staging file.
TEST_F(PieceFailureTest, DamagedSoundPieceIsReportedAndTheInstallationFinishes) {
  PlacePackage(kPackage, DamagedPackage(2));
  ASSERT_FALSE(Install());
  ASSERT_EQ(Boxes(), (std::vector<std::wstring>{
                         L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Stop.wa_' could not be written!",
                         L"Screen Recorder: File 'Stop.wav' could not be extracted!"}));
  EXPECT_EQ(headless::ShownBoxes().at(1).style, 0x1030u);
  ExpectFinishedWithout({"Stop.wav"});
  EXPECT_EQ(Installed("Stop.wav"), Bytes{});
  EXPECT_EQ(GroupLinks().size(), 4u);
}

// A staging file that could not be written at all: the expansion still runs
// and has its own say, so one piece gives four messages.
TEST_F(PieceFailureTest, HelpFileNeitherExtractedNorExpanded) {
  headless::InjectFailure("RawOpenWrite", std::wstring(kStaging) + L"\\VXR.ch_",
                          platform::kErrorAccessDenied);
  ASSERT_FALSE(Install());
  EXPECT_EQ(Boxes(),
            (std::vector<std::wstring>{
                L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\VXR.ch_' could not be written!",
                L"Screen Recorder: VXR help file could not be extracted!",
                L"ExpandFiles - Hata!: 'C:\\WINDOWS\\TEMP\\VXRTMP\\VXR.ch_' isimli dosya bulunamadı!",
                L"Screen Recorder: VXR help file could not be expanded!"}));
  ExpectFinishedWithout({"VXR.chm"});
  EXPECT_FALSE(Installed("VXR.chm"));
  // The group only offers what is there.
  EXPECT_EQ(GroupLinks(),
            (std::vector<std::string>{"Tarvo's Screen Recorder.lnk", "Uninstall Screen Recorder.lnk",
                                      "VXR Movie Studio.lnk"}));
}

TEST_F(PieceFailureTest, UninstallerNotExpanded) {
  headless::InjectFailure("LzOpenFile", std::wstring(kDestination) + L"\\Uninstall VXR.exe",
                          platform::kErrorSharingViolation);
  ASSERT_FALSE(Install());
  EXPECT_EQ(Boxes(),
            (std::vector<std::wstring>{
                L"ExpandFiles - Hata!: 'C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe' isimli "
                L"dosya kullanımda!",
                L"Screen Recorder: VXR 'Uninstall' file could not be expanded!"}));
  ExpectFinishedWithout({"Uninstall VXR.exe"});
  EXPECT_EQ(GroupLinks(), (std::vector<std::string>{"Screen Recorder Help.lnk", "Tarvo's Screen Recorder.lnk",
                                                    "VXR Movie Studio.lnk"}));
}

TEST_F(PieceFailureTest, DamagedMainProgramEndsTheSetup) {
  PlacePackage(kPackage, DamagedPackage(1));
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{kStagedMain});
  ExpectAbandoned();
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{});
  EXPECT_EQ(points_.size(), 0u) << "no event point before the main program is in place";
}

// The destination could not be made (or vanished) before the sequence: the
// main program's expansion names the file it could not create.
TEST_F(PieceFailureTest, MissingDestinationEndsTheSetup) {
  headless::InjectFailure("MakeDirectory", kDestination, platform::kErrorAccessDenied, 2);
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(),
            std::vector<std::wstring>{L"ExpandFiles - Hata!: 'C:\\Program Files\\Screen Recorder\\Screen "
                                      L"Recorder.exe' isimli dosya için yol geçersiz!"});
  ExpectAbandoned();
  EXPECT_FALSE(Exists(kDestination));
}

}  // namespace
}  // namespace vxr::test
