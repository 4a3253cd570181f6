// The wizard on its destination page with the chooser opened by "Change Dir",
// on a headless machine whose drives each test describes first.
#pragma once

#include <string>
#include <vector>

#include "chooser/form3.h"
#include "platform/drive_type.h"
#include "tests/wizard/wizard_fixture.h"

namespace vxr::test {

class ChooserTest : public WizardTest {
 protected:
  static constexpr wchar_t kDefault[] = L"C:\\Program Files\\Screen Recorder";

  // Starts the setup, walks to the destination page, sets the destination
  // (unless empty) and presses Change Dir.
  void OpenChooserOn(std::wstring_view destination = {}) {
    Start();
    GoToPage3();
    if (!destination.empty()) InstallDir = destination;
    ASSERT_TRUE(Press("Command4"));
    ASSERT_EQ(headless::FindForm(Form3::kCaption), &Chooser());
    ASSERT_TRUE(headless::IsShown(Chooser()));
    EXPECT_EQ(Chooser().Icon(), Wizard().Icon()) << "it takes the wizard's icon";
  }
  platform::Form& Chooser() { return TheForm3().Window(); }
  bool PressInChooser(std::string_view control) { return headless::Click(Chooser(), control); }
  bool SelectDrive(std::wstring_view drive) { return headless::SelectDrive(Chooser(), "Drive1", drive); }
  std::wstring Path() { return Chooser().Path(Form3::Dir1); }
  // Where the lists stand: the drive list's entry and the folder list's path.
  std::wstring Lists() { return At(Chooser().Drive(Form3::Drive1), Path()); }
  static std::wstring At(std::wstring_view drive, std::wstring_view path) {
    return std::wstring(drive) + L" | " + std::wstring(path);
  }
  std::wstring FreeSpace() { return Chooser().Text(Form3::Label3); }
  bool ChooserOpen() { return headless::FindForm(Form3::kCaption) != nullptr; }

  std::vector<std::wstring> TakeBoxTexts() {
    std::vector<std::wstring> texts;
    for (const auto& box : headless::ShownBoxes()) texts.push_back(box.text);
    headless::ClearShownBoxes();
    return texts;
  }
  // Exactly one box shown since the last call, and forgets it.
  void ExpectOneBox(std::wstring_view text, std::wstring_view title, std::uint32_t style = 0x30) {
    const auto boxes = headless::ShownBoxes();
    headless::ClearShownBoxes();
    ASSERT_EQ(boxes.size(), 1u) << testing::PrintToString(std::wstring(text));
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].title, title);
    EXPECT_EQ(boxes[0].style, style);
  }
  void AddFixedDrive(wchar_t letter, std::uint64_t freeBytes = 1ull << 30) {
    machine_.AddDrive(letter);
    headless::SetFreeBytes(letter, freeBytes);
  }
};

}  // namespace vxr::test
