// The focus mark: a dotted rectangle in the text colour appears on the focused control and
// goes when the focus moves on.
#include "forms/HeadlessTestSupport.h"

#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/CheckBox.h"
#include "forms/GroupBox.h"
#include "forms/Layout.h"
#include "os/HeadlessScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace HeadlessTest;

namespace {

constexpr char FocusLayout[] = R"({
  "name": "FocusForm", "BorderStyle": "bsDialog", "Caption": "Focus", "Position": "poScreenCenter",
  "ClientWidth": 300, "ClientHeight": 160,
  "controls": [
    {"class": "TButton", "name": "DefaultButton", "Left": 10, "Top": 120, "Width": 75, "Height": 25,
     "Caption": "Ok", "Default": true, "TabOrder": 0},
    {"class": "TButton", "name": "PlainButton", "Left": 100, "Top": 120, "Width": 75, "Height": 25,
     "Caption": "Cancel", "TabOrder": 1},
    {"class": "TButton", "name": "Elsewhere", "Left": 190, "Top": 120, "Width": 75, "Height": 25,
     "Caption": "Elsewhere", "TabOrder": 2},
    {"class": "TCheckBox", "name": "Box", "Left": 10, "Top": 10, "Width": 120, "Height": 17,
     "Caption": "Sound effects", "TabOrder": 3},
    {"class": "TGroupBox", "name": "Group", "Left": 140, "Top": 8, "Width": 150, "Height": 100,
     "Caption": "Group", "TabOrder": 4,
     "controls": [
       {"class": "TCheckBox", "name": "GroupedBox", "Left": 10, "Top": 30, "Width": 120, "Height": 17,
        "Caption": "CD audio", "Checked": true, "TabOrder": 0}
     ]}
  ]})";

class FocusMarkTest : public testing::TestWithParam<const char*> {
protected:
  static TFormPtr<TForm> NewLoadedForm() {
    TFormPtr<TForm> Loaded = NewForm<TForm>();
    LoadLayout(*Loaded, FocusLayout, "focus.layout.json");
    return Loaded;
  }
  void Focus(const char* Name) {
    LayoutControl<TWinControl>(*Form, Name).SetFocus();
    App.ProcessMessages();
  }

  TApplication App{std::make_unique<THeadlessScreen>(640, 480)};
  THeadlessScreen& Headless = static_cast<THeadlessScreen&>(App.Backend());
  TFormPtr<TForm> Form = NewLoadedForm();
};

TEST_P(FocusMarkTest, ADottedMarkInTheTextColourWhileFocused) {
  Form->Show();
  Focus("Elsewhere");
  const TRect Area = LayoutControl<TWinControl>(*Form, GetParam()).ScreenRect();
  const std::vector<uint32_t> Unfocused = Pixels(Headless, Area);

  Focus(GetParam());
  const std::vector<uint32_t> Focused = Pixels(Headless, Area);
  size_t Changed = 0;
  for (size_t Index = 0; Index < Focused.size(); ++Index) {
    if (Focused[Index] == Unfocused[Index]) continue;
    ++Changed;
    EXPECT_EQ(Focused[Index], 0x000000u) << "pixel " << Index;
  }
  EXPECT_GT(Changed, 0u);

  Focus("Elsewhere");
  EXPECT_EQ(Pixels(Headless, Area), Unfocused);
}

INSTANTIATE_TEST_SUITE_P(Controls, FocusMarkTest, testing::Values("DefaultButton", "PlainButton", "Box", "GroupedBox"),
                         [](const auto& Info) { return std::string(Info.param); });

}  // namespace
