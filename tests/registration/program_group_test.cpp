#include "registration/program_group.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/headless/shell_control.h"
#include "registration/progman_commands.h"
#include "tests/registration/fake_ui.h"
#include "tests/support/test_machine.h"

namespace vxr {
namespace {

using platform::DdeAnswer;
constexpr wchar_t kGroup[] =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Screen Recorder";
constexpr wchar_t kDir[] = L"C:\\Program Files\\Screen Recorder";
const std::wstring kExe = std::wstring(kDir) + L"\\Screen Recorder.exe",
                   kHelp = std::wstring(kDir) + L"\\VXR.chm",
                   kUninstaller = std::wstring(kDir) + L"\\Uninstall VXR.exe";

class ProgramGroupTest : public ::testing::Test {
 protected:
  // A fresh machine whose destination holds the main program and, as asked, the help file and uninstaller.
  void Fresh(bool help, bool uninstaller, bool hidden = false, bool progman = true) {
    headless::Reset();
    machine_.emplace();
    machine_->MakeFolders(kDir);
    for (const auto& [present, path] : {std::pair{true, kExe}, {help, kHelp}, {uninstaller, kUninstaller}}) {
      if (present) machine_->WriteFile(path, "MZ");
      if (present && hidden && path != kExe) headless::SetHiddenOrSystem(path, true);
    }
    if (progman) headless::SetDdeServer(L"PROGMAN", L"PROGMAN");
  }
  void Run(std::wstring_view installDir = kDir) {
    ui_.QueueEventMarker();
    CreateProgramGroup(installDir, ui_);
  }
  std::vector<std::wstring> Sent() const {
    std::vector<std::wstring> texts;
    for (const auto& c : headless::DdeCommands()) texts.push_back(c.command);
    return texts;
  }
  std::optional<headless::ShellLink> Link(std::wstring_view name) const {
    return headless::ReadShellLink(std::wstring(kGroup) + L"\\" + std::wstring(name) + L".lnk");
  }
  int LinkCount() const {
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(machine_->Host(kGroup), ec))
      count += entry.path().extension() == ".lnk";
    return count;
  }

  std::optional<test::TestMachine> machine_;
  test::FakeUi ui_;
};

const std::wstring kCommands[] = {
    L"[CreateGroup(Screen Recorder)]",
    L"[additem(\"C:\\Program Files\\Screen Recorder\\Screen Recorder.exe\",Tarvo's Screen Recorder)]",
    L"[additem(\"C:\\Program Files\\Screen Recorder\\Screen Recorder.exe\" /moviestudio,VXR Movie Studio)]",
    L"[additem(\"C:\\Program Files\\Screen Recorder\\VXR.chm\",Screen Recorder Help)]",
    L"[additem(\"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe\",Uninstall Screen Recorder)]",
};

TEST_F(ProgramGroupTest, SendsEveryCommandInOrderOverOneConversation) {
  Fresh(true, true);
  Run(std::wstring(kDir) + L"     ");

  EXPECT_EQ(Sent(), std::vector<std::wstring>(std::begin(kCommands), std::end(kCommands)));
  EXPECT_EQ(headless::DdeConversationsOpened(), 1);
  EXPECT_EQ(headless::OpenDdeConversationCount(), 0);
  // Program Manager made the items: nothing of ours.
  EXPECT_EQ(LinkCount(), 0);
  EXPECT_EQ(ui_.log, (std::vector<std::wstring>{L"status: Shortcuts are being created...", L"refresh",
                                                L"events", L"refresh"}));
}

TEST_F(ProgramGroupTest, HelpAndUninstallItemsFollowTheirFiles) {
  const struct {
    bool help, uninstaller, hidden;
    std::vector<int> commands;
  } cases[] = {
      {false, false, false, {0, 1, 2}},
      {true, false, false, {0, 1, 2, 3}},
      {false, true, false, {0, 1, 2, 4}},
      {true, true, true, {0, 1, 2}},
  };
  for (const auto& c : cases) {
    Fresh(c.help, c.uninstaller, c.hidden);
    Run();
    std::vector<std::wstring> expected;
    for (int i : c.commands) expected.push_back(kCommands[i]);
    EXPECT_EQ(Sent(), expected) << c.help << c.uninstaller << c.hidden;
  }
}

TEST_F(ProgramGroupTest, WithoutProgramManagerTheSetupMakesTheGroupItself) {
  Fresh(true, true, false, false);
  Run(L" " + std::wstring(kDir) + L"  ");

  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(LinkCount(), 4);
  const std::tuple<const wchar_t*, std::wstring, const wchar_t*> links[] = {
      {L"Tarvo's Screen Recorder", kExe, L""},
      {L"VXR Movie Studio", kExe, L"/moviestudio"},
      {L"Screen Recorder Help", kHelp, L""},
      {L"Uninstall Screen Recorder", kUninstaller, L""},
  };
  for (const auto& [name, target, arguments] : links) {
    const auto link = Link(name);
    ASSERT_TRUE(link) << name;
    EXPECT_EQ(link->target, target);
    EXPECT_EQ(link->arguments, arguments);
  }
  EXPECT_EQ(ui_.log.back(), L"refresh");
}

TEST_F(ProgramGroupTest, OnlyCommandsProgramManagerDidNotCarryOutAreOurs) {
  for (const DdeAnswer failure : {DdeAnswer::Refused, DdeAnswer::TimedOut}) {
    Fresh(false, true);
    headless::QueueDdeAnswer(DdeAnswer::Acknowledged);
    headless::QueueDdeAnswer(DdeAnswer::Acknowledged);
    headless::QueueDdeAnswer(failure);
    Run();

    // The failed command is not sent again, and Program Manager hears nothing more.
    ASSERT_EQ(headless::DdeCommands().size(), 3u);
    EXPECT_EQ(headless::OpenDdeConversationCount(), 0);
    EXPECT_FALSE(Link(L"Tarvo's Screen Recorder"));
    const auto studio = Link(L"VXR Movie Studio");
    ASSERT_TRUE(studio);
    EXPECT_EQ(studio->arguments, L"/moviestudio");
    EXPECT_TRUE(Link(L"Uninstall Screen Recorder"));
    EXPECT_FALSE(Link(L"Screen Recorder Help"));
  }
}

TEST(ProgmanCommandTest, ParsesAndSplitsAsProgramManagerDoes) {
  const auto command = ParseProgmanCommand(L"[additem(\"C:\\a, b\\x.exe\" /y z,Name, with comma)]");
  ASSERT_TRUE(command);
  EXPECT_EQ(command->verb, L"additem");
  EXPECT_EQ(command->arguments,
            (std::vector<std::wstring>{L"\"C:\\a, b\\x.exe\" /y z", L"Name", L" with comma"}));
  const auto item = SplitItemCommandLine(command->arguments[0]);
  EXPECT_EQ(item.target, L"C:\\a, b\\x.exe");
  EXPECT_EQ(item.arguments, L"/y z");
  EXPECT_EQ(SplitItemCommandLine(L"C:\\plain.exe").target, L"C:\\plain.exe");

  for (const wchar_t* bad : {L"CreateGroup(x)", L"[CreateGroup x]", L"[additem(\"open,x)]", L"[(x)]"})
    EXPECT_FALSE(ParseProgmanCommand(bad)) << bad;
}

TEST_F(ProgramGroupTest, InterpreterNeedsAGroupAndNamesItemsAfterTheirFile) {
  Fresh(false, false);
  ProgmanInterpreter own;
  EXPECT_FALSE(own.Execute(L"[additem(\"C:\\x.exe\",X)]"));
  EXPECT_FALSE(own.Execute(L"[ShowGroup(Screen Recorder,1)]"));
  own.Follow(L"[CreateGroup(Screen Recorder)]");
  EXPECT_TRUE(own.Execute(L"[additem(\"C:\\Tools\\Player.exe\")]"));
  const auto player = Link(L"Player");
  ASSERT_TRUE(player);
  EXPECT_EQ(player->target, L"C:\\Tools\\Player.exe");
}

}  // namespace
}  // namespace vxr
