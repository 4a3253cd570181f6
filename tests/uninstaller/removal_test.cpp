// The uninstaller's run on an in-memory Windows: what it removes, what it
// leaves to others, how it waits for the product and what it says at the end.
#include "tools/demo/uninstaller/removal.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/uninstaller/fake_system.h"
#include "tools/vxrpack/package.h"

namespace vxr::uninstaller {
namespace {

const std::wstring kDir = L"C:\\Program Files\\Screen Recorder";
const std::wstring kExe = kDir + L"\\Screen Recorder.exe";
const std::wstring kUserPrograms =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
const std::wstring kCommonPrograms = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
const std::wstring kGroup = kUserPrograms + L"\\Screen Recorder";
const std::wstring kProduct(kProductKey), kEntry(kUninstallKey), kVendor(kVendorKey);
const wchar_t* const kStoredInOtherLetters = L"c:\\program files\\SCREEN RECORDER";
const wchar_t* const kStoredWithBlanks = L"  C:\\Program Files\\Screen Recorder\\  ";
constexpr std::wstring_view kRemoved = L"Tarvo's Screen Recorder was removed.";

// Other programs' things in the same places, then what the setup leaves and
// what the product adds to its own key. Gives what there was before the setup.
auto Install(FakeSystem& system, std::wstring_view dir = kDir, std::wstring_view programs = kUserPrograms) {
  system.programsFolders = {kUserPrograms, kCommonPrograms};
  system.Add(L"C:\\Program Files\\Other App\\other.exe");
  system.Add(kUserPrograms + L"\\Accessories\\Notepad.lnk");
  system.Add(kCommonPrograms, FakeSystem::kFolder);
  system.SetValue(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OtherApp", L"DisplayName",
                  L"Other");
  system.SetValue(L"Software\\Contoso\\Other", L"Path", L"C:\\Program Files\\Other App");
  auto before = system.items;
  const std::wstring folder = std::wstring(dir) + (dir.ends_with(L'\\') ? L"" : L"\\");
  for (const std::string_view name : pack::kProductFiles)
    system.Add(folder + std::wstring(name.begin(), name.end()));
  for (const std::wstring_view link : kGroupLinks)
    system.Add(std::wstring(programs) + L"\\Screen Recorder\\" + std::wstring(link));
  system.SetValue(kProductKey, L"Dizin", dir);
  system.SetValue(kProductKey, L"Version", L"10", FakeSystem::kNumber);
  system.SetValue(kProduct + L"\\Recent", L"LastFolder", L"D:\\Movies");
  system.SetValue(kUninstallKey, L"DisplayName", L"Tarvo's Screen Recorder");
  system.SetValue(kUninstallKey, L"UninstallString", folder + L"Uninstall VXR.exe");
  return before;
}

// The question, the wait for the product (both of its windows, titles trimmed
// and compared exactly) and what a Cancel leaves: nothing changed. No, Yes,
// Retry, the product closed during the wait and the boxes' texts:
// tests/uninstaller/wine/uninstall_test.sh.
TEST(Removal, AsksWaitsForTheProductAndRemovesExactlyWhatTheSetupInstalled) {
  const std::wstring main = L"Tarvo's Screen Recorder", settings = L"Screen Recorder Settings";
  const struct {
    const char* what;
    std::vector<std::wstring> titles;
    std::vector<int> answers;
    bool removed;
    std::wstring_view programs = kUserPrograms;
  } cases[] = {
      {"group in the shared Start menu", {}, {kIdYes}, true, kCommonPrograms},
      {"Cancel while the product runs", {main, settings}, {kIdYes, kIdCancel}, false},
      {"short main title", {settings, L"VXR"}, {kIdYes, kIdCancel}, false},
      {"titles with blanks", {L" VXR  ", settings + L" "}, {kIdYes, kIdCancel}, false},
      {"main window only", {main}, {kIdYes}, true},
      {"settings window only", {settings}, {kIdYes}, true},
      {"a title in another case", {L"vxr", settings}, {kIdYes}, true},
      {"its own title", {main + L" - Uninstall", settings}, {kIdYes}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    const auto before = Install(system, kDir, c.programs);
    const auto installed = system.items;
    system.titles = c.titles;
    system.answers.assign(c.answers.begin(), c.answers.end());

    EXPECT_EQ(Uninstall(system, kDir), c.removed ? Outcome::Removed : Outcome::Kept);
    EXPECT_EQ(system.items, c.removed ? before : installed);
    ASSERT_EQ(system.boxes.size(), c.answers.size() + (c.removed ? 1 : 0));
    EXPECT_EQ(system.boxes[0].style, kMbYesNo | kMbIconQuestion);
    for (std::size_t i = 1; i < c.answers.size(); ++i) {
      EXPECT_EQ(system.boxes[i].style, kMbRetryCancel | kMbIconExclamation);
      EXPECT_NE(system.boxes[i].text.find(L"running"), std::wstring::npos);
    }
    EXPECT_TRUE(!c.removed || system.boxes.back().style == (kMbOk | kMbIconInformation));
  }
}

// What is not this installation's stays, and the closing box says why. (A file
// of the user's in the installation: tests/uninstaller/wine/uninstall_test.sh.)
TEST(Removal, LeavesWhatIsNotThisInstallationsAndSaysWhy) {
  const std::wstring other = kVendor + L"\\Other", sr = L"D:\\SR", theirs = sr + L"\\Screen Recorder.exe";
  const std::wstring link = kGroup + L"\\My recorder.lnk", chm = kDir + L"\\VXR.chm\\page.htm";
  const struct {
    const char* what;
    std::wstring add;  // a file, or a value (key\|name)
    std::vector<std::wstring> stays, gone;
    std::wstring note;  // in the closing box after kRemoved; empty: kRemoved alone
    const wchar_t* dizin = nullptr;
    std::wstring dir = kDir;
  } cases[] = {
      {"another product under the vendor key", other + L"\\|Dizin", {kVendor, other}, {kProduct}, L""},
      {"a default value of the vendor key", kVendor + L"\\|", {kVendor}, {kProduct}, L""},
      {"a folder named like a product file", chm, {chm, kDir}, {kProduct}, L"\r\n" + kDir},
      {"a link of the user's", link, {link, kGroup}, {kProduct}, L"\r\n" + kGroup},
      // Another installation: the settings, the entry and the group serve it.
      {"another one", theirs, {kProduct, kEntry, kGroup}, {kDir}, L"installation in " + sr, sr.c_str()},
      // The same folder in other letters or with blanks, or a folder that no
      // longer holds the product: the settings are this installation's.
      {"stored in other letters", L"", {}, {kVendor, kGroup}, L"", kStoredInOtherLetters},
      {"stored with blanks", L"", {}, {kVendor, kGroup}, L"", kStoredWithBlanks},
      {"stored elsewhere", L"", {}, {kVendor, kGroup}, L"", L"D:\\Gone"},
      {"stored empty", L"", {}, {kVendor, kGroup}, L"", L""},
      {"at a drive's root", L"", {}, {L"D:\\Screen Recorder.exe", kVendor, kGroup}, L"", nullptr, L"D:\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    Install(system, c.dir);
    // A folder of the user's in the place of an installed file.
    if (c.add == chm) system.RemoveFile(kDir + L"\\VXR.chm");
    if (!c.add.empty())
      system.Add(c.add, c.add.find(L'|') == std::wstring::npos ? FakeSystem::kFile : FakeSystem::kText);
    if (c.dizin) system.SetValue(kProductKey, L"Dizin", c.dizin);
    system.answers = {kIdYes};
    EXPECT_EQ(Uninstall(system, c.dir), Outcome::Removed);
    for (const auto& name : c.stays) EXPECT_TRUE(system.Has(name)) << ::testing::PrintToString(name);
    for (const auto& name : c.gone) EXPECT_FALSE(system.Has(name)) << ::testing::PrintToString(name);
    const std::wstring text = system.boxes.back().text;
    EXPECT_TRUE(c.note.empty() ? text == kRemoved : text.starts_with(kRemoved)) << text;
    EXPECT_NE(text.find(c.note), std::wstring::npos) << text;
  }
}

// What could not be removed is named and not called removed; the rest goes,
// and the folder that holds what is left is not mentioned as a user's.
TEST(Removal, NamesWhatCouldNotBeRemoved) {
  const std::wstring link = kGroup + L"\\VXR Movie Studio.lnk", hklm = L"HKEY_LOCAL_MACHINE\\";
  const struct {
    const char* what;
    std::wstring item;
    Error error;
    std::wstring named;  // as the closing box names it
    const wchar_t* dizin = nullptr;
  } cases[] = {
      {"a file in use", kExe, kErrorSharingViolation, kExe + L" (in use)"},
      {"a deletion that claimed success", kExe, kSuccess, kExe + L" (still there after it was deleted)"},
      {"a link", link, kErrorAccessDenied, link + L" (access denied)"},
      {"the product key", kProduct, kErrorAccessDenied, hklm + kProduct + L" (access denied)"},
      {"a key below the product key", kProduct + L"\\Recent", 1018, hklm + kProduct + L" (access denied)"},
      {"the installation folder", kDir, 1234, kDir + L" (error 1234)"},
      {"an empty vendor key", kVendor, kErrorAccessDenied, hklm + kVendor + L" (access denied)"},
      // The settings are still this installation's, though the folder they
      // name still holds the product's file.
      {"in use, in other letters", kExe, kErrorSharingViolation, kExe + L" (in use)", kStoredInOtherLetters},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    Install(system);
    if (c.dizin) system.SetValue(kProductKey, L"Dizin", c.dizin);
    system.FailRemoval(c.item, c.error);
    system.answers = {kIdYes};

    EXPECT_EQ(Uninstall(system, kDir), Outcome::PartlyRemoved);
    const ShownBox& last = system.boxes.back();
    EXPECT_EQ(last.style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(last.text.find(L"was removed"), std::wstring::npos) << last.text;
    EXPECT_NE(last.text.find(L"\r\n" + c.named), std::wstring::npos) << last.text;
    EXPECT_EQ(last.text.find(L"left in place"), std::wstring::npos) << last.text;
    EXPECT_FALSE(system.Has(kDir + L"\\Uninstall VXR.exe"));
    EXPECT_FALSE(c.dizin && (system.Has(kGroup) || system.Has(kVendor)));
  }
}

TEST(Removal, WorksOnlyOnAFullPath) {
  for (const std::wstring_view dir : {L"", L"Screen Recorder", L"\\Screen Recorder", L"C:Screen Recorder"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(dir)));
    FakeSystem system;
    Install(system);
    const auto installed = system.items;
    EXPECT_EQ(Uninstall(system, dir), Outcome::Kept);
    EXPECT_EQ(system.items, installed);
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].style, kMbOk | kMbIconExclamation);
  }
}

}  // namespace
}  // namespace vxr::uninstaller
