// The registry routines, the product's settings and the program group on the
// headless platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/install_ui.h"
#include "platform/headless/headless.h"
#include "platform/headless/registry_store.h"
#include "platform/headless/shell_control.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"
#include "registration/registry.h"
#include "tests/registration/registry_checks.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

// Records what a step did to the wizard window, in order, and where pending events ran.
struct FakeUi final : InstallUi {
  void SetStatusLine(std::wstring_view text) override { log.push_back(L"status: " + std::wstring(text)); }
  void RefreshWindow() override { log.push_back(L"refresh"); }
  std::vector<std::wstring> log;
};

using namespace std::string_literals;
using platform::registry::ValueType;
using test::kLm;
constexpr wchar_t kKeyMessage[] = L"Registry anahtarı oluşturulamadı. Registry key could not be created!";
constexpr wchar_t kStringMessage[] =
    L"Registry'e string yazılamadı! Registry value(string) could not be written!";

const test::RegistryUnderTest kHeadless{
    [](std::wstring_view key, std::wstring_view name, const test::RawValue& value) {
      headless::PutRegistryValue(kLm, key, name, static_cast<ValueType>(value.type),
                                 std::vector<std::uint8_t>(value.bytes.begin(), value.bytes.end()));
    },
    [](std::wstring_view key) { headless::PutRegistryKey(kLm, key); },
    [](std::wstring_view key, std::wstring_view name) {
      const auto value = headless::GetRegistryValue(kLm, key, name);
      return value ? std::string(value->bytes.begin(), value->bytes.end()) : std::string("missing");
    }};

// Values as "type:data", their exact bytes (texts stored with their NUL, as REG_SZ
// must be: "\0" at the end); "" when missing.
std::vector<std::string> Values(std::wstring_view key, std::initializer_list<const wchar_t*> names) {
  std::vector<std::string> values;
  for (const wchar_t* name : names) {
    const auto value = headless::GetRegistryValue(kLm, key, name);
    std::uint32_t number = 0;
    if (value && value->type == ValueType::DWord) std::memcpy(&number, value->bytes.data(), 4);
    values.push_back(!value ? ""
                     : value->type == ValueType::DWord
                         ? "4:" + std::to_string(number)
                         : std::to_string(static_cast<std::uint32_t>(value->type)) + ":" +
                               std::string(value->bytes.begin(), value->bytes.end()));
  }
  return values;
}

// The boxes shown, each "Hata - Error" with the same style, by their texts.
std::vector<std::wstring> ErrorTexts() {
  std::vector<std::wstring> texts;
  for (const auto& box : headless::ShownBoxes()) {
    texts.push_back(box.text);
    EXPECT_EQ(box.title, L"Hata - Error");
    EXPECT_EQ(box.style, 0x1030u);
  }
  return texts;
}

class RegistryTest : public ::testing::Test {
 protected:
  void Settings(std::wstring_view installDir = L"C:\\Program Files\\Screen Recorder") {
    WriteRegistrySettings(installDir, ui_);
    EXPECT_EQ(ui_.log, std::vector<std::wstring>{L"status: Registry settings are being done..."});
    ui_.log.clear();
  }
  void TearDown() override { EXPECT_EQ(headless::OpenRegistryKeyCount(), 0) << "a key was left open"; }
  test::TestMachine machine_;
  FakeUi ui_;
};

TEST_F(RegistryTest, RoutinesTakeAndStoreOnlyTheirOwnTypes) {
  test::CheckValues(kHeadless, L"Software\\Test");
  test::CheckListing(kHeadless, L"Software\\Listed");
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

// Texts pass the A calls in the ANSI code page: a Turkish Windows keeps the
// Turkish letters, a Western one (as under Wine here) their base letters.
TEST_F(RegistryTest, TextsGoThroughTheAnsiCodePage) {
  for (const auto& [codePage, kept] : {std::pair{1254u, L"Dizin ğüşıöç İ"}, {1252u, L"Dizin güsiöç I"}}) {
    headless::SetAnsiCodePage(codePage);
    SaveRegString(kLm, L"Software\\Test", L"Türkçe", L"Dizin ğüşıöç İ");
    EXPECT_EQ(GetRegString(kLm, L"SOFTWARE\\test", L"türkçe", L"def"), kept) << codePage;
  }
}

TEST_F(RegistryTest, RefusedWritesShowTheirOwnMessageOnly) {
  headless::PutRegistryKey(kLm, L"Software\\Existing");
  headless::RefuseRegistryWrites(kLm, L"Software");
  // An existing key opens, but the write into it is refused all the same.
  CreateRegKey(kLm, L"Software\\Existing");
  SaveRegString(kLm, L"Software\\Existing", L"S", L"x");
  EXPECT_EQ(ErrorTexts(), std::vector<std::wstring>{kStringMessage});
  EXPECT_TRUE(headless::RegistryValueNames(kLm, L"Software\\Existing").empty());

  // The settings step on such a machine: five messages, and it goes on.
  headless::ClearShownBoxes();
  Settings();
  EXPECT_EQ(ErrorTexts(), (std::vector<std::wstring>{kKeyMessage, kStringMessage, kKeyMessage, kStringMessage,
                                                     kStringMessage}));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, L"Software\\Ambretton"));
  EXPECT_FALSE(headless::RegistryKeyExists(kLm, kUninstallKey));
}

// Over stored values the installation's own are written again; of the
// product's own settings only a DWORD desktop rate of 70 is raised, and a frame
// setting that is zero or no DWORD replaced. (A first installation, a DWORD
// frame setting kept and 70 raised: tests/wine/e2e's check_registry.)
TEST_F(RegistryTest, ProductSettingsOverStoredValues) {
  const std::tuple<const wchar_t*, const wchar_t*, test::RawValue, std::string> cases[] = {
      {kProductKey, L"IncCur", {4, "\0\0\0\0"s}, "4:1"},
      {kUninstallKey, L"DisplayName", {1, "Old name"}, "1:Tarvo's Screen Recorder\0"s},
      {kProductKey, L"FullDesktopRate", {4, "\x32\0\0\0"s}, "4:50"},
      {kProductKey, L"FullDesktopRate", {1, "70\0"s}, "1:70\0"s},
      {kProductKey, L"dwKFE", {4, "\0\0\0\0"s}, "4:10"},
      {kProductKey, L"dwKFE", {1, "25\0"s}, "4:10"},
  };
  for (const auto& [key, name, stored, after] : cases) {
    headless::Reset();
    kHeadless.put(key, name, stored);
    Settings();
    EXPECT_EQ(Values(key, {name}), std::vector{after}) << stored.type;
  }
  EXPECT_TRUE(headless::ShownBoxes().empty());
}

constexpr wchar_t kGroup[] =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Screen Recorder";
// A comma in the folder: Program Manager's commands quote the path, whose
// commas are no separators.
const std::wstring kDir = L"C:\\Tools, Media\\Screen Recorder", kExe = kDir + L"\\Screen Recorder.exe",
                   kHelp = kDir + L"\\VXR.chm", kUninstaller = kDir + L"\\Uninstall VXR.exe";
const std::wstring kCommands[] = {
    L"[CreateGroup(Screen Recorder)]",
    L"[additem(\"" + kExe + L"\",Tarvo's Screen Recorder)]",
    L"[additem(\"" + kExe + L"\" /moviestudio,VXR Movie Studio)]",
    L"[additem(\"" + kHelp + L"\",Screen Recorder Help)]",
    L"[additem(\"" + kUninstaller + L"\",Uninstall Screen Recorder)]",
};

class ProgramGroupTest : public ::testing::Test {
 protected:
  // A fresh machine whose destination holds the main program and, as asked,
  // the help file and uninstaller; then the step.
  void Run(bool help, bool uninstaller, bool hidden, std::vector<platform::DdeAnswer> answers = {}) {
    machine_.emplace();
    machine_->MakeFolders(kDir);
    for (const auto& [present, path] : {std::pair{true, kExe}, {help, kHelp}, {uninstaller, kUninstaller}}) {
      if (present) machine_->WriteFile(path, "MZ");
      if (present && hidden && path != kExe) headless::SetHiddenOrSystem(path, true);
    }
    headless::SetDdeServer(L"PROGMAN", L"PROGMAN");
    for (const auto answer : answers) headless::QueueDdeAnswer(answer);
    ui_.log.clear();
    headless::QueueEvent([this] { ui_.log.push_back(L"events"); });
    missing_ = CreateProgramGroup(kDir, ui_);
    EXPECT_EQ(headless::OpenDdeConversationCount(), 0);
    EXPECT_EQ(ui_.log, (std::vector<std::wstring>{L"status: Shortcuts are being created...", L"refresh",
                                                  L"events", L"refresh"}));
  }
  std::vector<std::wstring> Sent() const {
    std::vector<std::wstring> texts;
    for (const auto& c : headless::DdeCommands()) texts.push_back(c.command);
    return texts;
  }
  std::vector<std::wstring> Links() const {
    std::vector<std::wstring> links;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(machine_->Host(kGroup), ec)) {
      const auto name = entry.path().stem().wstring();
      const auto link = headless::ReadShellLink(std::wstring(kGroup) + L"\\" + name + L".lnk");
      links.push_back(name + L": " + (link ? link->target + L" " + link->arguments : L"unreadable"));
    }
    std::sort(links.begin(), links.end());
    return links;
  }

  std::optional<test::TestMachine> machine_;
  FakeUi ui_;
  std::vector<std::wstring> missing_;  // what the step reports not in the group
};

// Over one conversation, in order, the help and uninstall items only for
// files that are there and neither hidden nor system; Program Manager made
// the items, so nothing of ours.
TEST_F(ProgramGroupTest, ItemsFollowTheirFilesOverOneConversation) {
  const struct {
    bool help, uninstaller, hidden;
    std::vector<int> commands;
  } cases[] = {
      {true, true, false, {0, 1, 2, 3, 4}},
      {true, false, false, {0, 1, 2, 3}},
      {false, true, false, {0, 1, 2, 4}},
      {true, true, true, {0, 1, 2}},
  };
  for (const auto& c : cases) {
    Run(c.help, c.uninstaller, c.hidden);
    std::vector<std::wstring> expected;
    for (int i : c.commands) expected.push_back(kCommands[i]);
    EXPECT_EQ(Sent(), expected) << c.help << c.uninstaller << c.hidden;
    EXPECT_EQ(headless::DdeConversationsOpened(), 1);
    EXPECT_EQ(Links(), std::vector<std::wstring>{});
  }
}

// From the first command Program Manager leaves unanswered (or refuses), the
// setup makes the rest itself, and that one is not sent again.
TEST_F(ProgramGroupTest, WhatProgramManagerDoesNotCarryOutTheSetupDoesItself) {
  using platform::DdeAnswer;
  Run(false, true, false, {DdeAnswer::Acknowledged, DdeAnswer::Acknowledged, DdeAnswer::TimedOut});
  EXPECT_EQ(Sent(), (std::vector<std::wstring>{kCommands[0], kCommands[1], kCommands[2]}));
  EXPECT_EQ(Links(), (std::vector<std::wstring>{L"Uninstall Screen Recorder: " + kUninstaller + L" ",
                                                L"VXR Movie Studio: " + kExe + L" /moviestudio"}));
  // Acknowledged is not made: the headless Program Manager makes no links, and the step says so.
  EXPECT_EQ(missing_, std::vector<std::wstring>{L"Tarvo's Screen Recorder"});
}

}  // namespace
}  // namespace vxr
