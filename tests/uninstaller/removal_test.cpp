// The uninstaller's run on an in-memory Windows: what it removes, what it
// leaves to others, how it waits for the product and what it says at the end.
#include "tools/demo/uninstaller/removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/uninstaller/fake_system.h"
#include "tools/vxrpack/package.h"

namespace vxr::uninstaller {
namespace {

constexpr std::wstring_view kDir = L"C:\\Program Files\\Screen Recorder";
constexpr std::wstring_view kUserPrograms =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
constexpr std::wstring_view kCommonPrograms = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
constexpr std::wstring_view kRemoved = L"Tarvo's Screen Recorder was removed.";

std::wstring Path(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (!path.ends_with(L'\\')) path += L'\\';
  return path.append(name);
}
std::wstring Wide(std::string_view text) { return {text.begin(), text.end()}; }
std::wstring Group(std::wstring_view programs) { return Path(programs, L"Screen Recorder"); }

// What the setup leaves, and what the product adds to its own key.
void Install(FakeSystem& system, std::wstring_view dir = kDir, std::wstring_view programs = kUserPrograms) {
  for (const std::string_view name : pack::kProductFiles) system.AddFile(Path(dir, Wide(name)));
  for (const std::wstring_view link : kGroupLinks) system.AddFile(Path(Group(programs), link));
  system.SetValue(kProductKey, L"Dizin", dir);
  system.SetValue(kProductKey, L"Version", L"10", false);
  system.SetValue(kProductKey, L"dwKFE", L"10", false);
  system.SetValue(Path(kProductKey, L"Recent"), L"LastFolder", L"D:\\Movies");
  system.SetValue(kUninstallKey, L"DisplayName", L"Tarvo's Screen Recorder");
  system.SetValue(kUninstallKey, L"UninstallString", Path(dir, L"Uninstall VXR.exe"));
}

// Other programs' things, in the same places.
void Others(FakeSystem& system) {
  system.AddFile(L"C:\\Program Files\\Other App\\other.exe");
  system.AddFile(Path(kUserPrograms, L"Accessories\\Notepad.lnk"));
  system.AddFolder(kCommonPrograms);
  system.SetValue(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OtherApp", L"DisplayName",
                  L"Other");
  system.SetValue(L"Software\\Contoso\\Other", L"Path", L"C:\\Program Files\\Other App");
}

class RemovalTest : public ::testing::Test {
 protected:
  RemovalTest() { system_.SetProgramsFolders({std::wstring(kUserPrograms), std::wstring(kCommonPrograms)}); }

  // Installs beside other programs, keeps what there was before, and runs
  // with these answers to its boxes.
  Outcome InstallAndRun(std::initializer_list<int> answers = {kIdYes}, std::wstring_view dir = kDir) {
    Others(system_);
    before_ = system_.Listing();
    Install(system_, dir);
    for (const int answer : answers) system_.QueueAnswer(answer);
    return Uninstall(system_, dir);
  }
  std::wstring LastText() const { return system_.Boxes().empty() ? L"" : system_.Boxes().back().text; }

  FakeSystem system_;
  std::vector<std::wstring> before_;
};

TEST_F(RemovalTest, RemovesWhatTheSetupInstalledAndNothingElse) {
  // The group may be in the user's Start menu or in the one all users share.
  for (const std::wstring_view programs : {kUserPrograms, kCommonPrograms}) {
    FakeSystem system;
    system.SetProgramsFolders({std::wstring(kUserPrograms), std::wstring(kCommonPrograms)});
    Others(system);
    const auto before = system.Listing();
    Install(system, kDir, programs);
    system.QueueAnswer(kIdYes);

    EXPECT_EQ(Uninstall(system, kDir), Outcome::Removed);
    EXPECT_EQ(system.Listing(), before);
    ASSERT_EQ(system.Boxes().size(), 2u);
    EXPECT_EQ(system.Boxes()[0].text, L"Remove Tarvo's Screen Recorder and all of its components?");
    EXPECT_EQ(system.Boxes()[0].style, kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(system.Boxes()[1].text, kRemoved);
    EXPECT_EQ(system.Boxes()[1].style, kMbOk | kMbIconInformation);
  }
}

TEST_F(RemovalTest, TheVendorKeyGoesOnlyWhenNothingElseIsUnderIt) {
  const struct {
    const char* what;
    std::wstring_view key, name;
  } cases[] = {
      {"another product", L"Software\\Ambretton\\Other", L"Dizin"},
      {"a value of its own", L"Software\\Ambretton", L"Licence"},
      {"a default value", L"Software\\Ambretton", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    system.SetValue(c.key, c.name, L"x");
    Install(system);
    system.QueueAnswer(kIdYes);
    EXPECT_EQ(Uninstall(system, kDir), Outcome::Removed);
    EXPECT_TRUE(system.KeyExists(kVendorKey));
    EXPECT_TRUE(system.KeyExists(c.key));
    EXPECT_FALSE(system.KeyExists(kProductKey));
    EXPECT_EQ(system.Boxes().back().text, kRemoved);
  }
}

TEST_F(RemovalTest, ANoOrACancelChangesNothing) {
  const struct {
    const char* what;
    std::vector<int> answers;
    std::size_t boxes;
  } cases[] = {
      {"No", {kIdNo}, 1},
      {"Cancel while the product runs", {kIdYes, kIdCancel}, 2},
      {"Retry, then Cancel", {kIdYes, kIdRetry, kIdCancel}, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    Install(system);
    system.SetWindowTitles({L"Tarvo's Screen Recorder", L"Screen Recorder Settings"});
    const auto installed = system.Listing();
    for (const int answer : c.answers) system.QueueAnswer(answer);
    EXPECT_EQ(Uninstall(system, kDir), Outcome::Kept);
    EXPECT_EQ(system.Listing(), installed);
    EXPECT_EQ(system.Boxes().size(), c.boxes);
  }
}

TEST_F(RemovalTest, WaitsWhileTheProductRunsAndGoesOnOnceItIsClosed) {
  system_.SetWindowTitles({L"Default IME", L"VXR", L"Screen Recorder Settings", L"Program Manager"});
  // The user closes the product while the second refusal is up.
  int refusals = 0;
  system_.OnBox([&](const ShownBox& box) {
    if ((box.style & 0xF) == kMbRetryCancel && ++refusals == 2) system_.SetWindowTitles({L"Default IME"});
  });
  EXPECT_EQ(InstallAndRun({kIdYes, kIdRetry, kIdRetry}), Outcome::Removed);

  ASSERT_EQ(system_.Boxes().size(), 4u);
  for (const std::size_t i : {1u, 2u}) {
    EXPECT_EQ(system_.Boxes()[i].style, kMbRetryCancel | kMbIconExclamation);
    EXPECT_NE(system_.Boxes()[i].text.find(L"running"), std::wstring::npos);
  }
  EXPECT_EQ(LastText(), kRemoved);
  EXPECT_EQ(system_.Listing(), before_);
}

TEST_F(RemovalTest, TheProductRunsOnlyWithBothOfItsWindows) {
  const struct {
    std::vector<std::wstring> titles;
    bool running;
  } cases[] = {
      {{L"Tarvo's Screen Recorder", L"Screen Recorder Settings"}, true},
      {{L"Screen Recorder Settings", L"VXR"}, true},
      // Titles are compared trimmed of blanks, as the setup compares them.
      {{L" VXR  ", L"Screen Recorder Settings "}, true},
      {{L"Tarvo's Screen Recorder"}, false},
      {{L"Screen Recorder Settings"}, false},
      {{L"vxr", L"Screen Recorder Settings"}, false},
      {{L"Tarvo's Screen Recorder - Install", L"Screen Recorder Settings"}, false},
      {{L"Tarvo's Screen Recorder - Uninstall", L"Screen Recorder Settings"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.titles));
    FakeSystem system;
    Install(system);
    system.SetWindowTitles(c.titles);
    system.QueueAnswer(kIdYes);
    if (c.running) system.QueueAnswer(kIdCancel);
    EXPECT_EQ(Uninstall(system, kDir), c.running ? Outcome::Kept : Outcome::Removed);
  }
}

TEST_F(RemovalTest, WhatAUserAddedStaysWithItsFolder) {
  const struct {
    const char* what;
    std::wstring added;
    std::wstring keptFolder;
  } cases[] = {
      {"a file in the installation", Path(kDir, L"My notes.txt"), std::wstring(kDir)},
      {"a folder in the installation", Path(kDir, L"Recordings\\one.avi"), std::wstring(kDir)},
      {"a folder named like a product file", Path(kDir, L"VXR.chm\\page.htm"), std::wstring(kDir)},
      {"a link in the group", Path(Group(kUserPrograms), L"My recorder.lnk"), Group(kUserPrograms)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    system.SetProgramsFolders({std::wstring(kUserPrograms)});
    Install(system);
    // A folder of the user's in the place of an installed file.
    if (c.added.find(L".chm\\") != std::wstring::npos) system.RemoveFile(Path(kDir, L"VXR.chm"));
    system.AddFile(c.added);
    system.QueueAnswer(kIdYes);

    EXPECT_EQ(Uninstall(system, kDir), Outcome::Removed);
    EXPECT_EQ(system.Kind(c.added), PathKind::File);
    EXPECT_EQ(system.Kind(c.keptFolder), PathKind::Folder);
    EXPECT_EQ(system.Kind(Path(kDir, L"Screen Recorder.exe")), PathKind::Missing);
    EXPECT_FALSE(system.KeyExists(kProductKey));
    const std::wstring text = system.Boxes().back().text;
    EXPECT_TRUE(text.starts_with(kRemoved)) << text;
    EXPECT_NE(text.find(L"\r\n" + c.keptFolder), std::wstring::npos) << text;
  }
}

TEST_F(RemovalTest, WhatCouldNotBeRemovedIsNamedAndNotCalledRemoved) {
  const std::wstring exe = Path(kDir, L"Screen Recorder.exe");
  const std::wstring link = Path(Group(kUserPrograms), L"VXR Movie Studio.lnk");
  const struct {
    const char* what;
    std::wstring item;
    Error error;
    std::wstring named;  // as the closing box names it
  } cases[] = {
      {"a file in use", exe, kErrorSharingViolation, exe + L" (in use)"},
      {"a file without rights", exe, kErrorAccessDenied, exe + L" (access denied)"},
      {"a deletion that claimed success", exe, kSuccess, exe + L" (still there after it was deleted)"},
      {"a link", link, kErrorAccessDenied, link + L" (access denied)"},
      {"the product key", std::wstring(kProductKey), kErrorAccessDenied,
       L"HKEY_LOCAL_MACHINE\\Software\\Ambretton\\VXR (access denied)"},
      {"a key below the product key", Path(kProductKey, L"Recent"), 1018,
       L"HKEY_LOCAL_MACHINE\\Software\\Ambretton\\VXR (access denied)"},
      {"the uninstall entry", std::wstring(kUninstallKey), kErrorAccessDenied,
       L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstallKey) + L" (access denied)"},
      {"the installation folder", std::wstring(kDir), 1234, std::wstring(kDir) + L" (error 1234)"},
      {"an empty vendor key", std::wstring(kVendorKey), kErrorAccessDenied,
       L"HKEY_LOCAL_MACHINE\\Software\\Ambretton (access denied)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    system.SetProgramsFolders({std::wstring(kUserPrograms)});
    Install(system);
    system.FailRemoval(c.item, c.error);
    system.QueueAnswer(kIdYes);

    EXPECT_EQ(Uninstall(system, kDir), Outcome::PartlyRemoved);
    const ShownBox& last = system.Boxes().back();
    EXPECT_EQ(last.style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(last.text.find(L"was removed"), std::wstring::npos) << last.text;
    EXPECT_NE(last.text.find(L"\r\n" + c.named), std::wstring::npos) << last.text;
    // Everything else is gone; the folder that holds what is left is not
    // mentioned as a user's.
    EXPECT_EQ(system.Kind(Path(kDir, L"Uninstall VXR.exe")), PathKind::Missing);
    EXPECT_EQ(last.text.find(L"left in place"), std::wstring::npos) << last.text;
  }
}

TEST_F(RemovalTest, AnotherInstallationKeepsItsSettingsEntryAndGroup) {
  const std::wstring other = L"D:\\Apps\\SR";
  system_.AddFile(Path(other, L"Screen Recorder.exe"));
  Others(system_);
  Install(system_);
  system_.SetValue(kProductKey, L"Dizin", other);
  system_.QueueAnswer(kIdYes);

  EXPECT_EQ(Uninstall(system_, kDir), Outcome::Removed);
  EXPECT_EQ(system_.Kind(kDir), PathKind::Missing);
  EXPECT_TRUE(system_.KeyExists(kProductKey));
  EXPECT_TRUE(system_.KeyExists(kUninstallKey));
  EXPECT_EQ(system_.Kind(Group(kUserPrograms)), PathKind::Folder);
  EXPECT_TRUE(LastText().starts_with(kRemoved));
  EXPECT_NE(LastText().find(L"installation in " + other), std::wstring::npos) << LastText();
}

TEST_F(RemovalTest, TheStoredFolderIsOursHoweverItIsWritten) {
  // The same folder in other letters or with blanks, or another folder that
  // no longer holds the product: the settings are this installation's, also
  // when the product's own file here could not be removed.
  for (const bool inUse : {false, true}) {
    for (const std::wstring_view stored : {L"c:\\program files\\SCREEN RECORDER",
                                           L"  C:\\Program Files\\Screen Recorder\\  ", L"D:\\Gone", L""}) {
      SCOPED_TRACE(::testing::PrintToString(std::wstring(stored)) + (inUse ? " in use" : ""));
      FakeSystem system;
      system.SetProgramsFolders({std::wstring(kUserPrograms)});
      Install(system);
      system.SetValue(kProductKey, L"Dizin", stored);
      if (inUse) system.FailRemoval(Path(kDir, L"Screen Recorder.exe"), kErrorSharingViolation);
      system.QueueAnswer(kIdYes);
      EXPECT_EQ(Uninstall(system, kDir), inUse ? Outcome::PartlyRemoved : Outcome::Removed);
      EXPECT_FALSE(system.KeyExists(kVendorKey));
      EXPECT_EQ(system.Kind(Group(kUserPrograms)), PathKind::Missing);
      if (!inUse) {
        EXPECT_EQ(system.Boxes().back().text, kRemoved);
      }
    }
  }
}

TEST_F(RemovalTest, WorksOnlyOnAFullPathAndNeverRemovesADriveRoot) {
  for (const std::wstring_view dir : {L"", L"Screen Recorder", L"\\Screen Recorder", L"C:Screen Recorder"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(dir)));
    FakeSystem system;
    Install(system);
    const auto installed = system.Listing();
    EXPECT_EQ(Uninstall(system, dir), Outcome::Kept);
    EXPECT_EQ(system.Listing(), installed);
    ASSERT_EQ(system.Boxes().size(), 1u);
    EXPECT_EQ(system.Boxes()[0].style, kMbOk | kMbIconExclamation);
  }

  EXPECT_EQ(InstallAndRun({kIdYes}, L"D:\\"), Outcome::Removed);
  EXPECT_EQ(system_.Kind(L"D:\\Screen Recorder.exe"), PathKind::Missing);
  EXPECT_EQ(system_.Kind(Group(kUserPrograms)), PathKind::Missing);
  EXPECT_EQ(LastText(), kRemoved);
}

}  // namespace
}  // namespace vxr::uninstaller
