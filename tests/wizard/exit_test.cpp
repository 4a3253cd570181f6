// Every way out of the wizard: Finish with and without the product started,
// Cancel and the close box answered No and Yes, the removal of the staging
// folder, and a product that cannot be started. (Closing during the
// installation: tests/install.)
#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/dialogs.h"
#include "tests/support/pe_builder.h"
#include "tests/wizard/wizard_fixture.h"
#include "tests/wizard/wizard_state.h"

namespace vxr::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kProduct[] = L"C:\\Program Files\\Screen Recorder\\Screen Recorder.exe";
constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP";
constexpr wchar_t kDeleting[] = L"Temporary files are being deleted...";

class ExitTest : public WizardTest {
 protected:
  WizardState State() { return StateOf(Wizard()); }

  // How the install sequence leaves the wizard when it has finished.
  void Finish() {
    for (int page = 1; page <= 4; ++page) Wizard().SetVisible(Form1::Frame1(page), page == 4);
    WizardPage = 4;
    Wizard().SetEnabled(Form1::Command1, false);
    Wizard().SetEnabled(Form1::Command3, false);
    Wizard().SetText(Form1::Command2, Form1::kFinish);
    Wizard().SetVisible(Form1::Check1, true);
  }

 public:
  void InstallProduct(std::string_view bytes) {
    machine_.MakeFolders(L"C:\\Program Files\\Screen Recorder");
    machine_.WriteFile(kProduct, bytes);
  }
  static std::string ProgramBytes() {
    const auto image = MakePeImage(false, {{".text", 0x200, 0x1000, 0x200, 0x400}}, 0, 0, 0x600);
    return {image.begin(), image.end()};
  }

 protected:
  // Closes the wizard the way `how` says: "Command3" (Cancel), "Command2"
  // (Finish) or "close box".
  void Close(std::string_view how) {
    if (how == "close box") {
      ASSERT_TRUE(headless::PressCloseBox(Wizard()));
    } else {
      ASSERT_TRUE(Press(how));
    }
  }

  void ExpectCancelQuestion(const headless::ShownBox& box) {
    EXPECT_EQ(box.text, L"Do you want to cancel the installation?");
    EXPECT_EQ(box.style, 0x1124u);
    EXPECT_EQ(box.title, L"Screen Recorder");
  }
};

// ---- Finished ------------------------------------------------------------------------

TEST_F(ExitTest, FinishedStartsTheProductOnlyWhenTheRunBoxIsTicked) {
  for (const std::string_view how : {"Command2", "close box"}) {
    for (const bool ticked : {true, false}) {
      SCOPED_TRACE(std::string(how) + (ticked ? ", ticked" : ", not ticked"));
      ResetProgram();
      headless::Reset();
      TestMachine machine;
      machine.MakeFolders(L"C:\\Program Files\\Screen Recorder");
      machine.WriteFile(kProduct, ProgramBytes());
      Start();
      Finish();
      if (ticked) {
        ASSERT_TRUE(Press("Check1"));
      }
      EXPECT_TRUE(headless::EndsProgram([&] { Close(how); }));
      EXPECT_TRUE(headless::ShownBoxes().empty()) << "no question once finished";
      if (ticked) {
        ASSERT_EQ(headless::StartedPrograms().size(), 1u);
        EXPECT_EQ(headless::StartedPrograms()[0], kProduct);
        EXPECT_EQ(headless::LastStartDirectory(), L"C:\\Program Files\\Screen Recorder");
      } else {
        EXPECT_TRUE(headless::StartedPrograms().empty());
      }
    }
  }
}

TEST_F(ExitTest, ProductStartsFromTheChosenDestination) {
  machine_.AddDrive(L'D');
  machine_.MakeFolders(L"D:\\Apps\\SR");
  machine_.WriteFile(L"D:\\Apps\\SR\\Screen Recorder.exe", ProgramBytes());
  headless::SetDesktopShellAnswers(false);  // as under Wine: started directly, all the same
  Start();
  InstallDir = L"  D:\\Apps\\SR";
  Finish();
  ASSERT_TRUE(Press("Check1"));
  EXPECT_TRUE(headless::EndsProgram([&] { Press("Command2"); }));
  EXPECT_TRUE(headless::ShownBoxes().empty());
  ASSERT_EQ(headless::StartedPrograms().size(), 1u);
  EXPECT_EQ(headless::StartedPrograms()[0], L"D:\\Apps\\SR\\Screen Recorder.exe");
  EXPECT_EQ(headless::LastStartDirectory(), L"D:\\Apps\\SR");
}

TEST_F(ExitTest, AProductThatCannotStartIsReportedBeforeTheEnd) {
  struct Case {
    const char* name;
    void (*prepare)(ExitTest&);
  } cases[] = {
      {"missing", [](ExitTest&) {}},
      {"damaged", [](ExitTest& t) { t.InstallProduct("MZ, and then nothing a loader could use"); }},
      {"empty", [](ExitTest& t) { t.InstallProduct(""); }},
      {"refused",
       [](ExitTest& t) {
         t.InstallProduct(ProgramBytes());
         headless::SetStartProgramResult(false);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    fs::remove_all(machine_.Host(L"C:\\Program Files"));
    headless::ClearShownBoxes();
    headless::SetStartProgramResult(true);
    c.prepare(*this);
    Start();
    Finish();
    ASSERT_TRUE(Press("Check1"));
    EXPECT_TRUE(headless::EndsProgram([&] { Press("Command2"); })) << "the setup ends all the same";
    ASSERT_EQ(headless::ShownBoxes().size(), 1u);
    const auto& box = headless::ShownBoxes()[0];
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.style, platform::kMbOk | platform::kMbIconExclamation);
    EXPECT_NE(box.text.find(kProduct), std::wstring::npos) << "the box names the program file";
    EXPECT_TRUE(headless::StartedPrograms().empty());
  }
}

// ---- Not finished: the question --------------------------------------------------------

TEST_F(ExitTest, NoKeepsEveryPageAsItWasAndYesEnds) {
  for (int page = 1; page <= 3; ++page) {
    for (const std::string_view how : {"Command3", "close box"}) {
      SCOPED_TRACE("page " + std::to_string(page) + ", " + std::string(how));
      ResetProgram();
      headless::ClearShownBoxes();
      Start();
      // Page 2 with "Yes I Agree." chosen: a choice the refused close must keep.
      for (const auto* control : {"Command2", "Option1", "Command2"}) {
        if (WizardPage == page) break;
        ASSERT_TRUE(Press(control));
      }
      if (page == 2) {
        ASSERT_TRUE(Press("Option1"));
      }
      const WizardState before = State();

      headless::QueueBoxAnswer(platform::kIdNo);
      EXPECT_FALSE(headless::EndsProgram([&] { Close(how); }));
      ASSERT_EQ(headless::ShownBoxes().size(), 1u);
      ExpectCancelQuestion(headless::ShownBoxes()[0]);
      EXPECT_TRUE(State() == before) << "the wizard changed behind a refused close";
      EXPECT_EQ(WizardPage, page);

      // Enter takes the default button, No, as well.
      EXPECT_FALSE(headless::EndsProgram([&] { Close(how); }));
      EXPECT_TRUE(State() == before);

      headless::QueueBoxAnswer(platform::kIdYes);
      EXPECT_TRUE(headless::EndsProgram([&] { Close(how); }));
      EXPECT_EQ(headless::ShownBoxes().size(), 3u);
      EXPECT_EQ(Wizard().Text(Form1::Label11), kDeleting);
      EXPECT_TRUE(headless::StartedPrograms().empty());
    }
  }
}

// ---- The staging folder ----------------------------------------------------------------

TEST_F(ExitTest, YesEmptiesTheStagingFolderOfItsOwnFilesOnly) {
  struct Case {
    const char* name;
    void (*prepare)(TestMachine&);
    bool folderStays;
    std::vector<const wchar_t*> staying;  // below C:\WINDOWS\TEMP
  } cases[] = {
      {"no folder", [](TestMachine&) {}, false, {}},
      {"empty folder", [](TestMachine& m) { m.MakeFolders(kStaging); }, false, {}},
      {"pieces",
       [](TestMachine& m) {
         m.MakeFolders(kStaging);
         for (const auto* name : {L"\\VXR.EX_", L"\\VXR.CH_", L"\\BEEP.WA_", L"\\noextension"})
           m.WriteFile(std::wstring(kStaging) + name, "SZDD");
         m.WriteFile(L"C:\\WINDOWS\\TEMP\\other.tmp", "not ours");
       },
       false,
       {L"other.tmp"}},
      {"a subfolder",
       [](TestMachine& m) {
         m.MakeFolders(std::wstring(kStaging) + L"\\sub");
         m.WriteFile(std::wstring(kStaging) + L"\\sub\\inner.bin", "x");
         m.WriteFile(std::wstring(kStaging) + L"\\VXR.EX_", "SZDD");
       },
       true,
       {L"VXRTMP\\sub\\inner.bin"}},
      {"a read-only file",
       [](TestMachine& m) {
         m.MakeFolders(kStaging);
         for (const auto* name : {L"\\A.WA_", L"\\B.WA_", L"\\C.WA_"})
           m.WriteFile(std::wstring(kStaging) + name, "SZDD");
         fs::permissions(m.Host(std::wstring(kStaging) + L"\\B.WA_"),
                         fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
       },
       true,
       {L"VXRTMP\\B.WA_"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgram();
    headless::Reset();
    TestMachine machine;
    c.prepare(machine);
    Start();
    headless::QueueBoxAnswer(platform::kIdYes);
    EXPECT_TRUE(headless::EndsProgram([&] { Press("Command3"); }));
    EXPECT_EQ(headless::ShownBoxes().size(), 1u) << "nothing about the files is reported";

    std::vector<std::wstring> left;
    const fs::path temp = machine.Host(L"C:\\WINDOWS\\TEMP");
    for (const auto& entry : fs::recursive_directory_iterator(temp))
      if (entry.is_regular_file()) left.push_back(entry.path().lexically_relative(temp).wstring());
    std::sort(left.begin(), left.end());
    std::vector<std::wstring> staying;
    for (const auto* name : c.staying) {
      std::wstring host(name);
      std::replace(host.begin(), host.end(), L'\\', L'/');
      staying.push_back(host);
    }
    EXPECT_EQ(left, staying);
    EXPECT_EQ(platform::PathExists(kStaging), c.folderStays);
  }
}

}  // namespace
}  // namespace vxr::test
