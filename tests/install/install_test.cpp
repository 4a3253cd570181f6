// The whole installation from a package built by the packing tool, and where
// it runs from.
#include <algorithm>

#include "platform/headless/registry_store.h"
#include "platform/headless/shell_control.h"
#include "registration/product_settings.h"
#include "tests/install/install_fixture.h"

namespace vxr::test {
namespace {

std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

TEST_F(InstallTest, DemoPackageInstallsRegistersAndFinishes) {
  ASSERT_FALSE(Install());

  // The finished state: only Finish and the run box are left to press.
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(WizardPage, 4);
  EXPECT_EQ(VisiblePage(), 4);
  EXPECT_TRUE(CanPress("Command2"));
  EXPECT_FALSE(CanPress("Command1"));
  EXPECT_FALSE(CanPress("Command3"));
  EXPECT_TRUE(CanPress("Check1"));
  EXPECT_EQ(Wizard().Value(Form1::Check1), 0);
  EXPECT_EQ(Wizard().Text(Form1::Label11), kCompleted);
  EXPECT_EQ(Wizard().Text(Form1::Label12), L"");
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});

  // Every product file, byte for byte, and nothing else; no staging folder.
  std::vector<std::string> names;
  for (const auto& file : DemoFiles()) {
    EXPECT_EQ(Installed(file.installedName), file.bytes) << file.installedName;
    names.push_back(file.installedName);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(DestinationFiles(), names);
  EXPECT_FALSE(Exists(kStaging));

  EXPECT_EQ(RegistryText(kProductKey, L"Dizin"), "C:\\Program Files\\Screen Recorder");
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), "Tarvo's Screen Recorder");
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
            "\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\"");

  EXPECT_EQ(GroupLinks(),
            (std::vector<std::string>{"Screen Recorder Help.lnk", "Tarvo's Screen Recorder.lnk",
                                      "Uninstall Screen Recorder.lnk", "VXR Movie Studio.lnk"}));
  const auto main = headless::ReadShellLink(std::wstring(kGroup) + L"\\Tarvo's Screen Recorder.lnk");
  ASSERT_TRUE(main);
  EXPECT_EQ(main->target, std::wstring(kDestination) + L"\\Screen Recorder.exe");

  // One event point per piece, showing the file about to be expanded, and one
  // in the program-group step; Cancel is live at each, Back and Next are not.
  ASSERT_EQ(points_.size(), 9u);
  for (std::size_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(points_[i].status, kCopying);
    EXPECT_EQ(points_[i].file, std::wstring(kDestination) + L"\\" + Wide(DemoFiles()[i].installedName));
  }
  EXPECT_EQ(points_[8].status, L"Shortcuts are being created...");
  EXPECT_EQ(points_[8].file, L"");
  for (const auto& point : points_) {
    EXPECT_TRUE(point.cancelLive);
    EXPECT_FALSE(point.backLive);
    EXPECT_FALSE(point.nextLive);
  }

  // What was repainted at once: each stored name before its extraction, then
  // the stages.
  std::vector<std::wstring> repainted;
  for (const auto& r : headless::Repaints())
    if (r.control == "Label11" || r.control == "Label12")
      repainted.push_back(Wide(r.control) + L": " + r.text);
  std::vector<std::wstring> expected;
  for (const auto& piece : DemoPackage().pieces) expected.push_back(L"Label12: " + Wide(piece.storedName));
  for (const wchar_t* line :
       {L"Label12: ", L"Label11: Registry settings are being done...",
        L"Label11: Temporary files are being deleted...", L"Label11: Shortcuts are being created..."})
    expected.push_back(line);
  expected.push_back(std::wstring(L"Label11: ") + kCompleted);
  EXPECT_EQ(repainted, expected);
}

TEST_F(InstallTest, FinishStartsTheInstalledProduct) {
  ASSERT_FALSE(Install());
  ASSERT_TRUE(Press("Check1"));
  EXPECT_TRUE(headless::EndsProgram([&] { Press("Command2"); }));
  EXPECT_EQ(headless::StartedPrograms(),
            std::vector<std::wstring>{std::wstring(kDestination) + L"\\Screen Recorder.exe"});
}

// At a drive root the folder already ends in a backslash, which must not be
// doubled: the package is opened by exactly its own name.
TEST_F(InstallTest, PackageAtADriveRoot) {
  PlacePackage(L"C:\\VXRSetup.exe", DemoPackage().bytes);
  ASSERT_FALSE(Install());
  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(Installed("Screen Recorder.exe"), DemoFiles()[0].bytes);
}

TEST_F(InstallTest, PackageIsOpenedByItsExactName) {
  PlacePackage(L"C:\\VXRSetup.exe", DemoPackage().bytes);
  headless::InjectFailure("RawOpenRead", L"C:\\VXRSetup.exe", platform::kErrorSharingViolation);
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(),
            std::vector<std::wstring>{
                L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!"});
}

// The package is looked for under its name with ".exe": renamed, it cannot
// find itself, and the main program's extraction ends the setup.
TEST_F(InstallTest, PackageRenamedToAnotherExtension) {
  std::filesystem::remove(machine_.Host(kPackage));
  PlacePackage(L"C:\\SETUP\\VXRSetup.dat", DemoPackage().bytes);
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(),
            std::vector<std::wstring>{
                L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!"});
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{});
  EXPECT_FALSE(Exists(kStaging));
  EXPECT_FALSE(headless::RegistryKeyExists(platform::registry::RootKey::LocalMachine, kUninstallKey));
}

// Files an interrupted run left behind are longer than the pieces: each
// extraction must leave exactly its piece, and the clean-up removes them all.
TEST_F(InstallTest, LeftoverStagingFolderIsReused) {
  machine_.MakeFolders(kStaging);
  for (const auto& piece : DemoPackage().pieces)
    machine_.WriteFile(std::wstring(kStaging) + L"\\" + Wide(piece.storedName),
                       std::string(static_cast<std::size_t>(piece.length) + 4096, 'x'));
  machine_.WriteFile(std::wstring(kStaging) + L"\\notes.txt", "left behind");
  std::vector<std::uintmax_t> stagedSizes;
  ASSERT_FALSE(Install([&](int point) {
    if (point > 8) return;
    const auto& piece = DemoPackage().pieces[static_cast<std::size_t>(point - 1)];
    stagedSizes.push_back(
        std::filesystem::file_size(machine_.Host(std::wstring(kStaging) + L"\\" + Wide(piece.storedName))));
  }));

  EXPECT_TRUE(TheForm1().Finished());
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{});
  for (std::size_t i = 0; i < DemoFiles().size(); ++i) {
    EXPECT_EQ(Installed(DemoFiles()[i].installedName), DemoFiles()[i].bytes) << DemoFiles()[i].installedName;
    ASSERT_LT(i, stagedSizes.size());
    EXPECT_EQ(stagedSizes[i], static_cast<std::uintmax_t>(DemoPackage().pieces[i].length));
  }
  EXPECT_FALSE(Exists(kStaging));
}

// A plain file where the staging folder belongs passes for it; nothing can be
// extracted into it, and the user's file is left alone.
TEST_F(InstallTest, StagingNameTakenByAPlainFile) {
  machine_.WriteFile(kStaging, "not a folder");
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(),
            std::vector<std::wstring>{
                L"Error: File 'C:\\WINDOWS\\TEMP\\VXRTMP\\Screen Recorder.ex_' could not be written!"});
  EXPECT_EQ(machine_.ReadFile(kStaging), "not a folder");
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{});
  EXPECT_FALSE(headless::RegistryKeyExists(platform::registry::RootKey::LocalMachine, kProductKey));
}

// A temporary directory the user may not write to: one clear message, and an
// end without any sign of a finished installation.
TEST_F(InstallTest, StagingFolderThatCannotBeMade) {
  headless::InjectFailure("MakeDirectory", kStaging, platform::kErrorAccessDenied);
  EXPECT_TRUE(Install());
  ASSERT_EQ(Boxes(),
            std::vector<std::wstring>{L"Screen Recorder: The temporary folder 'C:\\WINDOWS\\TEMP\\VXRTMP' "
                                      L"could not be created! Screen Recorder cannot be installed."});
  EXPECT_EQ(headless::ShownBoxes()[0].style, 0x1030u);
  EXPECT_FALSE(TheForm1().Finished());
  EXPECT_FALSE(Wizard().Visible(Form1::Check1));
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{});
  EXPECT_FALSE(headless::RegistryKeyExists(platform::registry::RootKey::LocalMachine, kProductKey));
  EXPECT_EQ(GroupLinks(), std::vector<std::string>{});
}

// A package whose table the packing tool did not leave readable.
TEST_F(InstallTest, UnreadablePayloadTable) {
  Bytes bytes = DemoPackage().bytes;
  std::string error;
  const auto table = pack::LocateTable(bytes, error);
  ASSERT_TRUE(table) << error;
  bytes[*table + offsetof(payload::Table, version)] ^= 0x7F;
  PlacePackage(kPackage, bytes);
  EXPECT_TRUE(Install());
  EXPECT_EQ(Boxes(),
            std::vector<std::wstring>{L"Screen Recorder: This setup program is damaged: the list of its "
                                      L"files cannot be read! Screen Recorder cannot be installed."});
  EXPECT_FALSE(Exists(kStaging)) << "made, then removed again";
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vxr::test
