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

class ProgramGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolders(kDir);
    machine_.WriteFile(std::wstring(kDir) + L"\\Screen Recorder.exe", "MZ");
  }
  void AddFile(std::wstring_view name, bool hidden = false) {
    const std::wstring path = std::wstring(kDir) + L"\\" + std::wstring(name);
    machine_.WriteFile(path, "x");
    if (hidden) headless::SetHiddenOrSystem(path, true);
  }
  void WithProgman() { headless::SetDdeServer(L"PROGMAN", L"PROGMAN"); }
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
    for (const auto& entry : std::filesystem::directory_iterator(machine_.Host(kGroup), ec))
      count += entry.path().extension() == ".lnk";
    return count;
  }

  test::TestMachine machine_;
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
  WithProgman();
  AddFile(L"VXR.chm");
  AddFile(L"Uninstall VXR.exe");
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
  struct Case {
    const char* what;
    bool help, helpHidden, uninstaller, uninstallerHidden;
    std::vector<std::wstring> commands;
  };
  const std::vector<std::wstring> three{kCommands[0], kCommands[1], kCommands[2]};
  const Case cases[] = {
      {"both absent", false, false, false, false, three},
      {"help only", true, false, false, false, {kCommands[0], kCommands[1], kCommands[2], kCommands[3]}},
      {"uninstaller only",
       false,
       false,
       true,
       false,
       {kCommands[0], kCommands[1], kCommands[2], kCommands[4]}},
      {"both hidden or system", true, true, true, true, three},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    test::TestMachine machine;
    machine.MakeFolders(kDir);
    if (c.help) machine.WriteFile(std::wstring(kDir) + L"\\VXR.chm", "x");
    if (c.helpHidden) headless::SetHiddenOrSystem(std::wstring(kDir) + L"\\VXR.chm", true);
    if (c.uninstaller) machine.WriteFile(std::wstring(kDir) + L"\\Uninstall VXR.exe", "x");
    if (c.uninstallerHidden) headless::SetHiddenOrSystem(std::wstring(kDir) + L"\\Uninstall VXR.exe", true);
    WithProgman();
    Run();
    EXPECT_EQ(Sent(), c.commands);
  }
}

TEST_F(ProgramGroupTest, WithoutProgramManagerTheSetupMakesTheGroupItself) {
  AddFile(L"VXR.chm");
  AddFile(L"Uninstall VXR.exe");
  Run(L" " + std::wstring(kDir) + L"  ");

  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(LinkCount(), 4);
  const auto main = Link(L"Tarvo's Screen Recorder");
  ASSERT_TRUE(main);
  EXPECT_EQ(main->target, L"C:\\Program Files\\Screen Recorder\\Screen Recorder.exe");
  EXPECT_EQ(main->arguments, L"");
  const auto studio = Link(L"VXR Movie Studio");
  ASSERT_TRUE(studio);
  EXPECT_EQ(studio->target, L"C:\\Program Files\\Screen Recorder\\Screen Recorder.exe");
  EXPECT_EQ(studio->arguments, L"/moviestudio");
  EXPECT_EQ(Link(L"Screen Recorder Help")->target, L"C:\\Program Files\\Screen Recorder\\VXR.chm");
  EXPECT_EQ(Link(L"Uninstall Screen Recorder")->target,
            L"C:\\Program Files\\Screen Recorder\\Uninstall VXR.exe");
  EXPECT_EQ(ui_.log.back(), L"refresh");
}

TEST_F(ProgramGroupTest, OnlyCommandsProgramManagerDidNotCarryOutAreOurs) {
  const DdeAnswer failures[] = {DdeAnswer::Refused, DdeAnswer::TimedOut};
  for (const DdeAnswer failure : failures) {
    headless::Reset();
    test::TestMachine machine;
    machine.MakeFolders(kDir);
    machine.WriteFile(std::wstring(kDir) + L"\\Uninstall VXR.exe", "x");
    WithProgman();
    headless::QueueDdeAnswer(DdeAnswer::Acknowledged);
    headless::QueueDdeAnswer(DdeAnswer::Acknowledged);
    headless::QueueDdeAnswer(failure);
    Run();

    // The failed command is not sent again, and Program Manager hears nothing more.
    ASSERT_EQ(headless::DdeCommands().size(), 3u);
    EXPECT_EQ(headless::OpenDdeConversationCount(), 0);
    EXPECT_FALSE(Link(L"Tarvo's Screen Recorder"));
    EXPECT_EQ(Link(L"VXR Movie Studio")->arguments, L"/moviestudio");
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
  ProgmanInterpreter own;
  EXPECT_FALSE(own.Execute(L"[additem(\"C:\\x.exe\",X)]"));
  EXPECT_FALSE(own.Execute(L"[ShowGroup(Screen Recorder,1)]"));
  own.Follow(L"[CreateGroup(Screen Recorder)]");
  EXPECT_TRUE(own.Execute(L"[additem(\"C:\\Tools\\Player.exe\")]"));
  EXPECT_EQ(Link(L"Player")->target, L"C:\\Tools\\Player.exe");
}

}  // namespace
}  // namespace vxr
