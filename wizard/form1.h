// The wizard window: four pages on one set of panels, Back, Next and Cancel.
#pragma once

#include <optional>

#include "chooser/chooser_owner.h"
#include "engine/file_journal.h"
#include "engine/staging_folder.h"
#include "platform/forms.h"
#include "registration/program_group.h"
#include "registration/settings_snapshot.h"

namespace vxr {

class Form1 final : public platform::FormEvents, public ChooserOwner {
 public:
  // Control ids: the order of the design table.
  enum Control : platform::ControlId {
    Frame2,
    Picture1,
    Image1,
    Frame1_1,
    Label1,
    Frame1_2,
    Label3,
    Text1,
    Option1,
    Option2,
    Frame1_3,
    Label9,
    Label10,
    Command4,
    Frame1_4,
    Label11,
    Label12,
    Check1,
    Command3,
    Command1,
    Command2,
    kControlCount
  };
  static constexpr wchar_t kCaption[] = L"Tarvo's Screen Recorder - Install";
  static constexpr wchar_t kFinish[] = L"Finish";

  Form1();
  platform::Form& Window() { return window_; }
  void Show() { window_.Show(); }

  // Frame1(index), index 1 to 4.
  static platform::ControlId Frame1(int index);

  // Event handlers.
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;
  void Click(platform::ControlId control) override;
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Option1_Click();
  void Option2_Click();

  // The installation has finished exactly when Next reads "Finish".
  bool Finished() const;

  // The destination chooser's owner: the destination page's Label10.
  const platform::Form& OwnerWindow() const override { return window_; }
  std::wstring ShownDestination() const override { return window_.Text(Label10); }
  void ShowDestination(std::wstring_view destination) override { window_.SetText(Label10, destination); }
  void GiveBack() override { window_.SetInUse(true); }

 private:
  void ShowPage();
  void InstallFiles();
  // Removes the staging folder and the pieces in it; never reports anything.
  void DeleteTempFiles();
  // Cancel answered Yes, or a failure nothing can be installed without:
  // everything this run changed is set back as it was before Next, the
  // staging folder goes, and the program ends.
  [[noreturn]] void AbandonInstallation();

  platform::Form window_;
  // What the installation has changed so far, to be set back if it is abandoned.
  StagingFolder staging_;
  FileJournal files_;
  std::optional<SettingsSnapshot> settings_;
  std::optional<GroupSnapshot> group_;
};

}  // namespace vxr
