// Checks of forms that must hold alike on the headless machine and on
// Windows (under Wine): loading before showing, a person's clicks and what
// refuses them, option buttons, closing with its reasons, unload and reload.
// Each backend only says how a person clicks and what the screen shows.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "resources/resource_ids.h"

namespace vxr::test {

struct FormsUnderTest {
  // A person's click on a control, or on the close box: false, and nothing
  // happens, where a person could not click (hidden, disabled, out of use).
  bool (*click)(platform::Form& form, platform::ControlId control);
  bool (*pressCloseBox)(platform::Form& form);
  // A window of that caption is on the screen.
  bool (*onScreen)(const wchar_t* caption);
  // The control is on the screen, its containers shown too.
  bool (*shown)(platform::Form& form, platform::ControlId control);
};

namespace forms {

using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;

inline constexpr wchar_t kCaption[] = L"Platform test form";
enum : ControlId { Panel, Option1, Option2, Heading, Button, Check, Text, kCount };
inline const std::array<ControlDesign, kCount> kControls{{
    {"Panel", ControlKind::Panel, platform::kWindow, 150, 150, 3000, 1500, L""},
    {"Option1", ControlKind::OptionButton, Panel, 150, 150, 2400, 255, L"First"},
    {"Option2", ControlKind::OptionButton, Panel, 150, 450, 2400, 255, L"Second"},
    {"Heading", ControlKind::Label, Panel, 150, 750, 2400, 255, L"Heading"},
    {"Button", ControlKind::Button, platform::kWindow, 3300, 150, 1200, 375, L"Press"},
    {"Check", ControlKind::CheckBox, platform::kWindow, 3300, 600, 1200, 255, L"Tick"},
    {"Text", ControlKind::TextBox, platform::kWindow, 150, 1800, 4350, 900, L"", true, true,
     platform::kMultiLine | platform::kReadOnly | platform::kVerticalScroll, nullptr, 0,
     platform::kDefaultColour, platform::kDefaultColour, VXR_TEXT_LICENCE},
}};
inline const platform::FormDesign kDesign{kCaption, platform::FormFrame::FixedSingle, 4650, 3150, true, true,
                                          kControls};

struct Recorder : platform::FormEvents {
  explicit Recorder(const FormsUnderTest& backend) : ui(backend) {}
  void Form_Load() override {
    calls.push_back(L"Load");
    onScreenDuringLoad = ui.onScreen(kCaption);
  }
  void Form_QueryUnload(bool& cancel, platform::CloseReason reason) override {
    calls.push_back(L"QueryUnload " + std::to_wstring(static_cast<int>(reason)));
    cancel = refuseUnload;
  }
  void Form_Unload(bool&) override { calls.push_back(L"Unload"); }
  void Click(ControlId control) override { calls.push_back(L"Click " + std::to_wstring(control)); }

  const FormsUnderTest& ui;
  std::vector<std::wstring> calls;
  bool refuseUnload = false;
  bool onScreenDuringLoad = true;
};

}  // namespace forms

inline void CheckLoadBeforeShow(const FormsUnderTest& ui, platform::Form& form, forms::Recorder& events) {
  EXPECT_FALSE(ui.onScreen(forms::kCaption));
  form.Show();
  ASSERT_EQ(events.calls, std::vector<std::wstring>{L"Load"});
  EXPECT_FALSE(events.onScreenDuringLoad) << "Form_Load must run before the window shows";
  EXPECT_TRUE(ui.onScreen(forms::kCaption));
  form.Show();
  EXPECT_EQ(events.calls.size(), 1u) << "a second Show does not load again";
  EXPECT_EQ(form.Text(forms::Text).rfind(L"LICENCE AGREEMENT", 0), 0u) << "the text resource";
  form.SetText(platform::kWindow, L"Kurulum - Hata ğüşıöç İ");
  EXPECT_TRUE(ui.onScreen(L"Kurulum - Hata ğüşıöç İ"));
  form.SetText(platform::kWindow, forms::kCaption);
}

// Option buttons excluding each other, a check box ticking, and a control
// disabled from code are seen in the wizard by its host tests and, under Wine,
// by startup_exit.sh and install_walk.sh.
inline void CheckClicks(const FormsUnderTest& ui, platform::Form& form, forms::Recorder& events) {
  using namespace forms;
  form.Show();
  EXPECT_TRUE(ui.click(form, Option2));
  EXPECT_TRUE(ui.click(form, Check));
  EXPECT_TRUE(ui.click(form, Button));
  EXPECT_EQ(events.calls, (std::vector<std::wstring>{L"Load", L"Click 2", L"Click 5", L"Click 4"}));

  events.calls.clear();
  form.SetValue(Option1, 1);  // from code: no event, and the sibling is cleared
  EXPECT_EQ(form.Value(Option2), 0);
  form.SetVisible(Panel, false);
  EXPECT_FALSE(ui.shown(form, Option2)) << "a hidden panel hides what it holds";
  EXPECT_TRUE(form.Visible(Option2)) << "while the option keeps its own setting";
  EXPECT_FALSE(ui.click(form, Option2));
  form.SetVisible(Panel, true);
  EXPECT_TRUE(ui.shown(form, Option2));
  form.SetInUse(false);
  EXPECT_FALSE(ui.click(form, Button)) << "out of use";
  EXPECT_FALSE(ui.pressCloseBox(form)) << "out of use";
  form.SetInUse(true);
  EXPECT_TRUE(events.calls.empty());
  EXPECT_TRUE(ui.click(form, Button));
}

// The close box asks the handlers with its reason; a refusal keeps the form;
// once unloaded it comes back in its design state.
inline void CheckClosing(const FormsUnderTest& ui, platform::Form& form, forms::Recorder& events) {
  using namespace forms;
  form.Show();
  events.refuseUnload = true;
  EXPECT_TRUE(ui.pressCloseBox(form));
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_TRUE(ui.onScreen(kCaption));
  EXPECT_FALSE(form.Unload());
  events.refuseUnload = false;
  form.SetText(Heading, L"Changed");
  form.SetValue(Check, 1);
  form.SetEnabled(Button, false);
  form.SetVisible(Option2, false);
  EXPECT_TRUE(ui.pressCloseBox(form));
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_FALSE(ui.onScreen(kCaption));
  const std::vector<std::wstring> closed{L"Load", L"QueryUnload 0", L"QueryUnload 1", L"QueryUnload 0",
                                         L"Unload"};
  EXPECT_EQ(events.calls, closed);

  form.Show();
  EXPECT_EQ(events.calls.back(), L"Load");
  EXPECT_EQ(form.Text(Heading), L"Heading");
  EXPECT_EQ(form.Value(Check), 0);
  EXPECT_TRUE(ui.shown(form, Option2));
  EXPECT_TRUE(ui.click(form, Button));
  EXPECT_TRUE(form.Unload());
  EXPECT_EQ(events.calls.back(), L"Unload");
  EXPECT_FALSE(ui.onScreen(kCaption));
}

}  // namespace vxr::test
