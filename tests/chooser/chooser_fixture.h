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
  static constexpr std::uint32_t kDriverStyle = 0x1030;

  // Starts the setup, walks to the destination page and presses Change Dir.
  void OpenChooser() {
    Start();
    GoToPage3();
    ASSERT_TRUE(Press("Command4"));
    ASSERT_EQ(headless::FindForm(Form3::kCaption), &Chooser());
    ASSERT_TRUE(headless::IsShown(Chooser()));
  }
  void OpenChooserOn(std::wstring_view destination) {
    Start();
    GoToPage3();
    InstallDir = destination;
    ASSERT_TRUE(Press("Command4"));
    ASSERT_TRUE(headless::IsShown(Chooser()));
  }
  platform::Form& Chooser() { return TheForm3().Window(); }
  bool PressInChooser(std::string_view control) { return headless::Click(Chooser(), control); }
  bool SelectDrive(std::wstring_view drive) { return headless::SelectDrive(Chooser(), "Drive1", drive); }
  std::wstring Drive() { return Chooser().Drive(Form3::Drive1); }
  std::wstring Path() { return Chooser().Path(Form3::Dir1); }
  std::wstring FreeSpace() { return Chooser().Text(Form3::Label3); }
  bool ChooserOpen() { return headless::FindForm(Form3::kCaption) != nullptr; }

  // The texts of the boxes shown since the last call, and forgets them.
  std::vector<std::wstring> TakeBoxTexts() {
    std::vector<std::wstring> texts;
    for (const auto& box : headless::ShownBoxes()) texts.push_back(box.text);
    headless::ClearShownBoxes();
    return texts;
  }
  // A fixed drive with a folder of its own and a known free space.
  void AddFixedDrive(wchar_t letter, std::uint64_t freeBytes = 1ull << 30) {
    machine_.AddDrive(letter);
    headless::SetFreeBytes(letter, freeBytes);
  }
};

}  // namespace vxr::test
