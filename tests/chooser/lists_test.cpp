// The headless drive and folder lists keep the toolkit's rules, which the
// chooser's logic relies on (the Wine tests hold the real controls to them).
#include <gtest/gtest.h>

#include <array>

#include "platform/disk_space.h"
#include "platform/drive_type.h"
#include "platform/headless/headless.h"
#include "tests/support/test_machine.h"

namespace vxr::test {
namespace {

using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;

enum : ControlId { Drives, Folders, kCount };
const std::array<ControlDesign, kCount> kControls{{
    {"Drive1", ControlKind::DriveList, platform::kWindow, 0, 0, 2000, 315, L""},
    {"Dir1", ControlKind::FolderList, platform::kWindow, 0, 400, 2000, 1500, L""},
}};
const platform::FormDesign kDesign{L"Lists", platform::FormFrame::FixedTool, 2100, 2000, true, false,
                                   kControls};

// Records every Change with the drive shown at that moment; may set the drive
// again from inside its handler, as the chooser does.
struct Recorder : platform::FormEvents {
  platform::Form* form = nullptr;
  std::vector<std::wstring> changes;
  std::wstring resetTo;
  void Change(ControlId control) override {
    if (control != Drives) return;
    changes.push_back(form->Drive(Drives));
    if (!resetTo.empty() && form->Drive(Drives).substr(0, 2) != resetTo) form->SetDrive(Drives, resetTo);
    changes.push_back(L"end " + form->Drive(Drives));
  }
};

class ListsTest : public ::testing::Test {
 protected:
  ListsTest() {
    machine_.AddDrive(L'D');
    headless::SetVolumeLabel(L'D', L"DATA");
    machine_.AddDrive(L'A');
    headless::SetDriveType(L'A', platform::kDriveRemovable);
    headless::SetVolumeLabel(L'A', L"FLOPPY");
    machine_.AddDrive(L'N');
    headless::SetDriveType(L'N', platform::kDriveRemote);
    headless::SetVolumeLabel(L'N', L"\\\\server\\share");
    headless::SetDriveType(L'R', platform::kDriveCdRom);  // no disc in it
    machine_.MakeFolders(L"C:\\WINDOWS\\SYSTEM");
    headless::SetCurrentFolder(L"C:\\WINDOWS");
    headless::SetCurrentFolder(L"D:\\", false);
    events_.form = &form_;
    form_.Show();
  }
  TestMachine machine_;
  Recorder events_;
  platform::Form form_{kDesign, events_};
};

TEST_F(ListsTest, TheListsStartWhereTheProgramStands) {
  EXPECT_EQ(form_.Drive(Drives), L"c:");
  EXPECT_EQ(form_.Path(Folders), L"C:\\WINDOWS");
}

TEST_F(ListsTest, EntriesNameTheDriveExceptForADiskette) {
  struct Case {
    const wchar_t* set;
    const wchar_t* shown;
  } cases[] = {
      {L"D:", L"d: [DATA]"},
      {L"a:", L"a:"},  // a diskette is never asked for its label
      {L"N: [whatever]", L"n: [\\\\server\\share]"},
      {L"r:", L"r:"},  // no disc: no label
      {L"C:\\WINDOWS", L"c:"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(form_.SetDrive(Drives, c.set)) << c.set;
    EXPECT_EQ(form_.Drive(Drives), c.shown) << c.set;
  }
  EXPECT_FALSE(form_.SetDrive(Drives, L"q:")) << "no such drive";
  EXPECT_FALSE(form_.SetDrive(Drives, L"C"));
  EXPECT_EQ(form_.Drive(Drives), L"c:");
}

TEST_F(ListsTest, SettingTheDriveRaisesChangeOnlyWhenItChangesAndReentrantly) {
  EXPECT_TRUE(form_.SetDrive(Drives, L"C:"));
  EXPECT_TRUE(events_.changes.empty()) << "the drive it already shows";
  events_.resetTo = L"c:";
  EXPECT_TRUE(form_.SetDrive(Drives, L"d:"));
  // The handler for d: sets c: again; that runs the handler for c: inside it.
  const std::vector<std::wstring> expected{L"d: [DATA]", L"c:", L"end c:", L"end c:"};
  EXPECT_EQ(events_.changes, expected);
  EXPECT_EQ(form_.Drive(Drives), L"c:");
}

TEST_F(ListsTest, PathsCarryABackslashOnlyAtARootAndDriveTextsOpenTheCurrentFolder) {
  struct Case {
    const wchar_t* set;
    const wchar_t* path;
  } cases[] = {
      {L"C:\\WINDOWS\\SYSTEM\\", L"C:\\WINDOWS\\SYSTEM"},
      {L"c:\\windows\\.\\system\\..", L"C:\\windows"},
      {L"D:\\", L"D:\\"},
      {L"C:", L"C:\\WINDOWS"},
      {L"d: [DATA]", L"D:\\"},
      {L"c:system", L"C:\\WINDOWS\\system"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(form_.SetPath(Folders, c.set)) << c.set;
    EXPECT_EQ(form_.Path(Folders), c.path) << c.set;
  }
  // What cannot be opened leaves the list where it was.
  machine_.WriteFile(L"C:\\file.txt", "x");
  for (const wchar_t* bad : {L"C:\\nowhere", L"C:\\file.txt", L"R:\\", L"r:", L"q:\\", L""}) {
    EXPECT_FALSE(form_.SetPath(Folders, bad)) << bad;
    EXPECT_EQ(form_.Path(Folders), L"C:\\WINDOWS\\system");
  }
}

TEST_F(ListsTest, DrivesReportTheirKindSpaceAndReadiness) {
  headless::SetFreeBytes(L'D', 5ull << 40);
  struct Case {
    const wchar_t* root;
    std::uint32_t type;
    platform::DosError spaceError;
  } cases[] = {
      {L"c:\\", platform::kDriveFixed, platform::kErrorSuccess},
      {L"D:\\", platform::kDriveFixed, platform::kErrorSuccess},
      {L"a:\\", platform::kDriveRemovable, platform::kErrorSuccess},
      {L"n:\\", platform::kDriveRemote, platform::kErrorSuccess},
      {L"r:\\", platform::kDriveCdRom, platform::kErrorNotReady},
      {L"q:\\", platform::kDriveNoRootDir, platform::kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::DriveTypeOf(c.root), c.type) << c.root;
    EXPECT_EQ(platform::FreeBytes(c.root).error, c.spaceError) << c.root;
  }
  EXPECT_EQ(platform::FreeBytes(L"d:\\").bytes, 5ull << 40);
  EXPECT_GT(platform::FreeBytes(L"c:\\").bytes, 0u) << "the host's own figure";
  EXPECT_EQ(platform::MakeDirectory(L"R:\\New"), platform::kErrorNotReady);
  EXPECT_FALSE(platform::PathExists(L"R:\\"));
}

}  // namespace
}  // namespace vxr::test
