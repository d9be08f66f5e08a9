// Check boxes: toggled by a click (box or caption) and by Space while focused, OnClick after
// the toggle, the check mark and the pressed look.
#include "forms/HeadlessTestSupport.h"

#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/CheckBox.h"
#include "forms/Layout.h"
#include "os/HeadlessScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace HeadlessTest;

namespace {

constexpr char CheckBoxLayout[] = R"({
  "name": "BoxForm", "BorderStyle": "bsDialog", "Caption": "Boxes", "Position": "poScreenCenter",
  "ClientWidth": 240, "ClientHeight": 100,
  "controls": [
    {"class": "TCheckBox", "name": "Box", "Left": 10, "Top": 10, "Width": 120, "Height": 17,
     "Caption": "Sound effects", "TabOrder": 0},
    {"class": "TCheckBox", "name": "PreChecked", "Left": 10, "Top": 34, "Width": 120, "Height": 17,
     "Caption": "Checked", "Checked": true, "TabOrder": 1},
    {"class": "TButton", "name": "Other", "Left": 150, "Top": 60, "Width": 75, "Height": 25,
     "Caption": "Other", "TabOrder": 2}
  ]})";

// The box is 13x13, vertically centred: its middle lies in the check mark, its inside starts
// two pixels in from its corner.
constexpr int32_t BoxSize = 13;

class CheckBoxTest : public testing::Test {
protected:
  CheckBoxTest() {
    Box.OnClick = [this](TObject*) { CheckedSeenByOnClick.push_back(Box.Checked()); };
    Form->Show();
    App.ProcessMessages();
  }

public:
  // Points on the control, for the click cases.
  TRect BoxSquare() const {
    const TRect R = Box.ScreenRect();
    return Bounds(R.Left, R.Top + (R.Height() - BoxSize) / 2, BoxSize, BoxSize);
  }
  TPoint BoxMiddle() const { return {BoxSquare().Left + BoxSize / 2, BoxSquare().Top + BoxSize / 2}; }
  TPoint InsideCorner() const { return {BoxSquare().Left + 2, BoxSquare().Top + 2}; }
  TPoint OnCaption() const { return {Box.ScreenRect().Left + BoxSize + 20, BoxMiddle().Y}; }

protected:
  static TFormPtr<TForm> NewLoadedForm() {
    TFormPtr<TForm> Loaded = NewForm<TForm>();
    LoadLayout(*Loaded, CheckBoxLayout, "boxes.layout.json");
    return Loaded;
  }

  TApplication App{std::make_unique<THeadlessScreen>(640, 480)};
  THeadlessScreen& Headless = static_cast<THeadlessScreen&>(App.Backend());
  TFormPtr<TForm> Form = NewLoadedForm();
  TCheckBox& Box = LayoutControl<TCheckBox>(*Form, "Box");
  std::vector<bool> CheckedSeenByOnClick;
};

struct TClickCase {
  const char* Name;
  TPoint (CheckBoxTest::*Where)() const;
};

class CheckBoxClickTest : public CheckBoxTest, public testing::WithParamInterface<TClickCase> {};

TEST_P(CheckBoxClickTest, EachClickTogglesAndThenRunsOnClick) {
  const TPoint P = (this->*GetParam().Where)();
  ASSERT_FALSE(Box.Checked());
  Headless.Click(P.X, P.Y);
  App.ProcessMessages();
  EXPECT_TRUE(Box.Checked());
  EXPECT_EQ(Form->ActiveControl(), &Box);
  Headless.Click(P.X, P.Y);
  App.ProcessMessages();
  EXPECT_FALSE(Box.Checked());
  EXPECT_EQ(CheckedSeenByOnClick, (std::vector<bool>{true, false}));
}

const TClickCase ClickCases[] = {{"OnTheBox", &CheckBoxTest::BoxMiddle}, {"OnTheCaption", &CheckBoxTest::OnCaption}};

INSTANTIATE_TEST_SUITE_P(Cases, CheckBoxClickTest, testing::ValuesIn(ClickCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(CheckBoxTest, TwoQuickClicksToggleTwice) {
  const TPoint P = BoxMiddle();
  for (int Press = 0; Press < 2; ++Press) {
    Headless.MouseDown(P.X, P.Y);
    Headless.MouseUp(P.X, P.Y);
  }
  App.ProcessMessages();
  EXPECT_FALSE(Box.Checked());
  EXPECT_EQ(CheckedSeenByOnClick, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxTest, AReleaseOutsideDoesNotToggle) {
  const TPoint P = BoxMiddle();
  Headless.MouseDown(P.X, P.Y);
  Headless.MouseMove(P.X, P.Y + 40);
  Headless.MouseUp(P.X, P.Y + 40);
  App.ProcessMessages();
  EXPECT_FALSE(Box.Checked());
  EXPECT_TRUE(CheckedSeenByOnClick.empty());
}

struct TSpaceCase {
  const char* Name;
  const char* Focus;
  const char* Keys;
  std::vector<bool> Seen;
};

class CheckBoxSpaceTest : public CheckBoxTest, public testing::WithParamInterface<TSpaceCase> {};

TEST_P(CheckBoxSpaceTest, SpaceTogglesTheFocusedBox) {
  const TSpaceCase& Case = GetParam();
  LayoutControl<TWinControl>(*Form, Case.Focus).SetFocus();
  Headless.Type(Case.Keys);
  App.ProcessMessages();
  EXPECT_EQ(CheckedSeenByOnClick, Case.Seen);
  EXPECT_EQ(Box.Checked(), !Case.Seen.empty() && Case.Seen.back());
}

const TSpaceCase SpaceCases[] = {
    {"OnceChecks", "Box", " ", {true}},
    {"TwiceUnchecksAgain", "Box", "  ", {true, false}},
    {"OtherKeysDoNotToggle", "Box", "x\r\x1b", {}},
    {"NotWhenAnotherControlHasTheFocus", "Other", " ", {}},
    {"NotWhenAnotherBoxHasTheFocus", "PreChecked", " ", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckBoxSpaceTest, testing::ValuesIn(SpaceCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(CheckBoxTest, TheCheckMarkShowsInTheWhiteBox) {
  const TPoint Middle = BoxMiddle(), Corner = InsideCorner();
  EXPECT_EQ(Headless.Pixel(Middle.X, Middle.Y), 0xFFFFFFu);
  EXPECT_EQ(Headless.Pixel(Corner.X, Corner.Y), 0xFFFFFFu);
  Box.SetChecked(true);
  App.ProcessMessages();
  EXPECT_EQ(Headless.Pixel(Middle.X, Middle.Y), 0x000000u);
  EXPECT_EQ(Headless.Pixel(Corner.X, Corner.Y), 0xFFFFFFu);
}

TEST_F(CheckBoxTest, TheInsideTurnsGreyWhilePressed) {
  const TPoint Corner = InsideCorner(), P = BoxMiddle();
  Headless.MouseDown(P.X, P.Y);
  App.ProcessMessages();
  EXPECT_TRUE(Box.Pressed());
  EXPECT_EQ(Headless.Pixel(Corner.X, Corner.Y), 0xC0C0C0u);
  Headless.MouseMove(P.X, P.Y + 40);
  App.ProcessMessages();
  EXPECT_FALSE(Box.Pressed());
  EXPECT_EQ(Headless.Pixel(Corner.X, Corner.Y), 0xFFFFFFu);
  Headless.MouseUp(P.X, P.Y + 40);
  App.ProcessMessages();
}

TEST_F(CheckBoxTest, SettingTheStateFromCodeRunsNoOnClick) {
  Box.SetChecked(true);
  Box.Toggle();
  Box.SetChecked(true);
  EXPECT_TRUE(Box.Checked());
  EXPECT_TRUE(CheckedSeenByOnClick.empty());
}

TEST_F(CheckBoxTest, TheLayoutSetsCheckedAndTabStop) {
  EXPECT_TRUE(LayoutControl<TCheckBox>(*Form, "PreChecked").Checked());
  EXPECT_FALSE(Box.Checked());
  EXPECT_TRUE(Box.TabStop());
}

}  // namespace
