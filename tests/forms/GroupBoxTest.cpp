// Group boxes: a parent whose children keep their place in the tab order and take the mouse,
// never focused itself, drawn as an etched frame with its caption on the frame's top line.
#include "forms/HeadlessTestSupport.h"

#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/CheckBox.h"
#include "forms/GroupBox.h"
#include "forms/Layout.h"
#include "os/HeadlessScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace HeadlessTest;

namespace {

// The boxes are created in the opposite order of their tab order.
constexpr char GroupLayout[] = R"({
  "name": "GroupForm", "BorderStyle": "bsDialog", "Caption": "Group", "Position": "poScreenCenter",
  "ClientWidth": 260, "ClientHeight": 190,
  "controls": [
    {"class": "TButton", "name": "First", "Left": 10, "Top": 150, "Width": 75, "Height": 25,
     "Caption": "First", "TabOrder": 0},
    {"class": "TGroupBox", "name": "Group", "Left": 8, "Top": 8, "Width": 200, "Height": 120,
     "Caption": "Options", "TabOrder": 1,
     "controls": [
       {"class": "TCheckBox", "name": "Lower", "Left": 24, "Top": 56, "Width": 100, "Height": 17,
        "Caption": "Lower", "TabOrder": 1},
       {"class": "TCheckBox", "name": "Upper", "Left": 24, "Top": 32, "Width": 100, "Height": 17,
        "Caption": "Upper", "TabOrder": 0}
     ]},
    {"class": "TButton", "name": "Last", "Left": 100, "Top": 150, "Width": 75, "Height": 25,
     "Caption": "Last", "TabOrder": 2}
  ]})";

class GroupBoxTest : public testing::Test {
protected:
  GroupBoxTest() {
    Form->Show();
    App.ProcessMessages();
  }

  static TFormPtr<TForm> NewLoadedForm() {
    TFormPtr<TForm> Loaded = NewForm<TForm>();
    LoadLayout(*Loaded, GroupLayout, "group.layout.json");
    return Loaded;
  }
  TWinControl& Control(const std::string& Name) { return LayoutControl<TWinControl>(*Form, Name); }
  std::string FocusedName() const { return Form->ActiveControl() ? Form->ActiveControl()->Name() : "(none)"; }

  TApplication App{std::make_unique<THeadlessScreen>(640, 480)};
  THeadlessScreen& Headless = static_cast<THeadlessScreen&>(App.Backend());
  TFormPtr<TForm> Form = NewLoadedForm();
  TGroupBox& Group = LayoutControl<TGroupBox>(*Form, "Group");
};

struct TTabCase {
  const char* Name;
  bool Shift;
  std::vector<std::string> Visits;
};

class GroupBoxTabTest : public GroupBoxTest, public testing::WithParamInterface<TTabCase> {};

TEST_P(GroupBoxTabTest, TheChildrenTakeTheGroupsPlaceInTheTabOrder) {
  const TTabCase& Case = GetParam();
  Control("First").SetFocus();
  std::vector<std::string> Visits;
  for (size_t Step = 0; Step < Case.Visits.size(); ++Step) {
    Headless.Type("\t", Case.Shift);
    App.ProcessMessages();
    Visits.push_back(FocusedName());
  }
  EXPECT_EQ(Visits, Case.Visits);
}

const TTabCase TabCases[] = {
    {"Forward", false, {"Upper", "Lower", "Last", "First", "Upper"}},
    {"Backward", true, {"Last", "Lower", "Upper", "First", "Last"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, GroupBoxTabTest, testing::ValuesIn(TabCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(GroupBoxTest, ChildrenArePlacedInsideTheGroupAndTakeTheMouse) {
  TCheckBox& Upper = LayoutControl<TCheckBox>(*Form, "Upper");
  const TRect GroupRect = Group.ScreenRect();
  EXPECT_EQ(Upper.ScreenRect(), Bounds(GroupRect.Left + 24, GroupRect.Top + 32, 100, 17));
  const TPoint P = Middle(Upper);
  Headless.Click(P.X, P.Y);
  App.ProcessMessages();
  EXPECT_TRUE(Upper.Checked());
  EXPECT_EQ(Form->ActiveControl(), &Upper);
}

TEST_F(GroupBoxTest, APressOnTheGroupLeavesTheFocusAlone) {
  EXPECT_FALSE(Group.TabStop());
  Control("Last").SetFocus();
  const TRect R = Group.ScreenRect();
  Headless.Click(R.Right - 10, R.Bottom - 10);
  App.ProcessMessages();
  EXPECT_EQ(FocusedName(), "Last");
}

TEST_F(GroupBoxTest, AnEtchedFrameWithTheCaptionOnItsTopLine) {
  TCanvas Measure;
  Measure.Font = Group.Font();
  const TPoint Text = Measure.TextExtent(Group.Caption());
  const TRect R = Group.ScreenRect();
  const int32_t FrameTop = R.Top + Text.Y / 2;
  const int32_t MiddleY = (FrameTop + R.Bottom) / 2;
  // Shadow outside, highlight inside, on the left edge and below the caption on the right.
  EXPECT_EQ(Headless.Pixel(R.Left, MiddleY), 0x808080u);
  EXPECT_EQ(Headless.Pixel(R.Left + 1, MiddleY), 0xFFFFFFu);
  EXPECT_EQ(Headless.Pixel(R.Right - 20, FrameTop), 0x808080u);
  EXPECT_EQ(Headless.Pixel(R.Right - 20, FrameTop + 1), 0xFFFFFFu);
  // The caption is written in the text colour and the frame line stops under it.
  const std::vector<uint32_t> Caption = Pixels(Headless, Bounds(R.Left + 8, R.Top, Text.X, Text.Y));
  EXPECT_NE(std::count(Caption.begin(), Caption.end(), 0x000000u), 0);
  EXPECT_EQ(std::count(Caption.begin(), Caption.end(), 0x808080u), 0);
}

}  // namespace
