// The destination chooser: a folder list over a drive list, the free space of
// the drive that holds the folder, New Folder, Ok and Cancel. The wizard opens
// it while putting itself out of use; every way out gives the wizard back.
#pragma once

#include <cstdint>
#include <string_view>

#include "chooser/chooser_owner.h"
#include "platform/forms.h"

namespace vxr {

class Form3 final : public platform::FormEvents {
 public:
  // Control ids: the order of the design table, which is the tab order.
  enum Control : platform::ControlId {
    Dir1,
    Drive1,
    Command1,
    Command2,
    Label1,
    Label2,
    Label3,
    Command3,
    kControlCount
  };
  static constexpr wchar_t kCaption[] = L"Screen Recorder";

  Form3();
  platform::Form& Window() { return window_; }
  // Loads it afresh and shows it in front of its owner; returns at once.
  void Show(ChooserOwner& owner) {
    owner_ = &owner;
    window_.Show(&owner.OwnerWindow());
  }

  // Event handlers.
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, platform::CloseReason reason) override;
  void Click(platform::ControlId control) override;
  void Change(platform::ControlId control) override;
  void Drive1_Change();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

 private:
  // Free space of the drive that holds the folder list's folder, in KB; 0 when it cannot be had.
  std::int64_t FreeSpaceKB() const;
  void ShowFreeSpace();
  // Opens `folder` in the folder list, else its drive's current folder, else
  // the drive's root; false when the drive cannot be read at all.
  bool OpenFolder(std::wstring_view folder);
  // Where the lists show the destination: the destination itself, or the
  // Windows drive ("C:", its current folder) while the destination is not there.
  std::wstring ListsHome() const;
  // Both lists back on the destination's drive and folder.
  void ReturnToDestination();

  platform::Form window_;
  ChooserOwner* owner_ = nullptr;
  int changeDepth_ = 0;  // Drive1_Change inside Drive1_Change
};

}  // namespace vxr
