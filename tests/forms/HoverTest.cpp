// Mouse enter and leave: the control left gets its leave before the control entered gets its
// enter, when the mouse moves and when the controls change under a resting mouse; a control
// taken out of its form is forgotten by the form's hover, capture and focus.
#include "TestScreen.h"

#include "forms/Application.h"

#include <gtest/gtest.h>

namespace {

using TestScreen::TMessageLog;
using TestScreen::TRecording;

enum class TKind { Windowless, Windowed };

std::unique_ptr<TControl> NewRecorder(TKind Kind, const std::string& Name, TMessageLog& Log) {
  if (Kind == TKind::Windowed) return std::make_unique<TRecording<TWinControl>>(Name, Log);
  return std::make_unique<TRecording<TGraphicControl>>(Name, Log);
}

TControl& Add(TWinControl& Parent, std::unique_ptr<TControl> Control, const TRect& Bounds) {
  TControl& Added = Parent.InsertControl(std::move(Control));
  Added.SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
  return Added;
}

class HoverFixture : public testing::Test {
protected:
  HoverFixture() : App(TestScreen::NewHeadless()), Headless(TestScreen::Headless(App)), Form(App.CreateForm<TForm>()) {
    Form.SetBorderStyle(TFormBorderStyle::bsNone);
    Form.SetBounds(0, 0, 640, 480);
    Form.Show();
    App.ProcessMessages();
  }

  void MoveTo(int32_t X, int32_t Y) {
    Headless.MouseMove(X, Y);
    App.ProcessMessages();
  }

  TApplication App;
  THeadlessScreen& Headless;
  TForm& Form;
  TMessageLog Log;
};

struct TNeighbourCase {
  const char* Name;
  TKind First;
  TKind Second;
};

class NeighbourHoverTest : public HoverFixture, public testing::WithParamInterface<TNeighbourCase> {};

TEST_P(NeighbourHoverTest, MovingStraightOntoTheNeighbourLeavesTheFirstBeforeEnteringTheSecond) {
  Add(Form, NewRecorder(GetParam().First, "First", Log), {100, 100, 150, 150});
  Add(Form, NewRecorder(GetParam().Second, "Second", Log), {150, 100, 200, 150});

  MoveTo(125, 125);
  MoveTo(149, 125);
  MoveTo(150, 125);
  MoveTo(400, 400);

  EXPECT_EQ(Log, (TMessageLog{"First enter", "First leave", "Second enter", "Second leave"}));
  EXPECT_EQ(Form.MouseControl(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NeighbourHoverTest,
                         testing::Values(TNeighbourCase{"Windowless", TKind::Windowless, TKind::Windowless},
                                         TNeighbourCase{"Windowed", TKind::Windowed, TKind::Windowed},
                                         TNeighbourCase{"WindowlessThenWindowed", TKind::Windowless, TKind::Windowed}),
                         [](const testing::TestParamInfo<TNeighbourCase>& Info) { return std::string(Info.param.Name); });

TEST_F(HoverFixture, MovesWithinOneControlSendNoFurtherNotifications) {
  Add(Form, NewRecorder(TKind::Windowless, "Only", Log), {100, 100, 200, 200});

  MoveTo(110, 110);
  MoveTo(150, 150);
  MoveTo(199, 199);

  EXPECT_EQ(Log, (TMessageLog{"Only enter"}));
}

struct THideCase {
  const char* Name;
  TKind Over;
  // The control beneath is the one the hidden control lies in, rather than a sibling.
  bool OverIsChildOfUnder;
  TKind Under;
};

class HideUnderRestingMouseTest : public HoverFixture, public testing::WithParamInterface<THideCase> {};

TEST_P(HideUnderRestingMouseTest, TheControlBeneathIsEnteredAfterTheHiddenOneIsLeft) {
  const THideCase& Case = GetParam();
  TControl& Under = Add(Form, NewRecorder(Case.Under, "Under", Log), {100, 100, 300, 300});
  TWinControl* OverParent = &Form;
  TRect OverBounds{150, 150, 200, 200};
  if (Case.OverIsChildOfUnder) {
    OverParent = dynamic_cast<TWinControl*>(&Under);
    ASSERT_NE(OverParent, nullptr);
    OverBounds = OverBounds.Offset(-100, -100);
  }
  TControl& Over = Add(*OverParent, NewRecorder(Case.Over, "Over", Log), OverBounds);
  MoveTo(175, 175);
  ASSERT_EQ(Log, (TMessageLog{"Over enter"}));

  Over.Hide();
  App.ProcessMessages();
  EXPECT_EQ(Log, (TMessageLog{"Over enter", "Over leave", "Under enter"}));

  Over.Show();
  App.ProcessMessages();
  EXPECT_EQ(Log, (TMessageLog{"Over enter", "Over leave", "Under enter", "Under leave", "Over enter"}));
}

INSTANTIATE_TEST_SUITE_P(
    Stacks, HideUnderRestingMouseTest,
    testing::Values(THideCase{"WindowlessOverWindowless", TKind::Windowless, false, TKind::Windowless},
                    THideCase{"WindowedOverWindowless", TKind::Windowed, false, TKind::Windowless},
                    THideCase{"WindowedOverWindowed", TKind::Windowed, false, TKind::Windowed},
                    THideCase{"WindowlessInsideWindowed", TKind::Windowless, true, TKind::Windowed},
                    THideCase{"WindowedInsideWindowed", TKind::Windowed, true, TKind::Windowed}),
    [](const testing::TestParamInfo<THideCase>& Info) { return std::string(Info.param.Name); });

TEST_F(HoverFixture, DisablingTheControlUnderARestingMouseMovesTheHoverToo) {
  Add(Form, NewRecorder(TKind::Windowless, "Under", Log), {100, 100, 300, 300});
  TControl& Over = Add(Form, NewRecorder(TKind::Windowless, "Over", Log), {150, 150, 200, 200});
  MoveTo(175, 175);

  Over.SetEnabled(false);
  App.ProcessMessages();

  EXPECT_EQ(Log, (TMessageLog{"Over enter", "Over leave", "Under enter"}));
}

TEST_F(HoverFixture, HidingTheParentOfTheHoveredControlMovesTheHoverToWhatLiesBeneath) {
  // A view switch: the panel holding the hovered control goes, the one showing instead takes the hover.
  Add(Form, NewRecorder(TKind::Windowless, "Beneath", Log), {100, 100, 400, 400});
  TControl& View = Add(Form, NewRecorder(TKind::Windowed, "View", Log), {120, 120, 320, 320});
  TControl& Inner = Add(dynamic_cast<TWinControl&>(View), NewRecorder(TKind::Windowless, "Inner", Log), {10, 10, 60, 60});
  TControl& OtherView = Add(Form, NewRecorder(TKind::Windowed, "OtherView", Log), {120, 120, 320, 320});
  OtherView.Hide();
  MoveTo(150, 150);
  ASSERT_EQ(Form.MouseControl(), &Inner);

  View.Hide();
  OtherView.Show();
  App.ProcessMessages();

  EXPECT_EQ(Log, (TMessageLog{"Inner enter", "Inner leave", "OtherView enter"}));
}

TEST_F(HoverFixture, RemovingAControlForgetsHoverCaptureAndFocusInsideIt) {
  const std::vector<uint32_t> Everything{CM_MOUSEENTER, CM_MOUSELEAVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                         WM_MOUSEMOVE,  WM_CHAR};
  auto& Panel = Form.InsertControl(std::make_unique<TRecording<TWinControl>>("Panel", Log, Everything));
  Panel.SetBounds(100, 100, 200, 200);
  Panel.SetTabStop(true);
  auto& Inner = Panel.InsertControl(std::make_unique<TRecording<TGraphicControl>>("Inner", Log, Everything));
  Inner.SetBounds(10, 10, 50, 50);
  Headless.MouseMove(130, 130);
  Headless.MouseDown(130, 130);
  Panel.SetFocus();
  App.ProcessMessages();
  ASSERT_EQ(Form.MouseControl(), &Inner);
  ASSERT_EQ(Form.CaptureControl(), &Inner);
  ASSERT_EQ(Form.ActiveControl(), &Panel);
  Log.clear();

  std::unique_ptr<TControl> Removed = Form.RemoveControl(Panel);

  ASSERT_EQ(Removed.get(), &Panel);
  EXPECT_EQ(Form.MouseControl(), nullptr);
  EXPECT_EQ(Form.CaptureControl(), nullptr);
  EXPECT_EQ(Form.ActiveControl(), nullptr);
  Headless.MouseMove(135, 135);
  Headless.MouseUp(135, 135);
  Headless.Type("a");
  App.ProcessMessages();
  EXPECT_EQ(Log, TMessageLog{}) << "a removed control receives nothing";

  // Once it is gone for good, the form must hold no pointer into it.
  Removed.reset();
  Headless.MouseMove(120, 120);
  Headless.Click(120, 120);
  Headless.Type("b\t");
  App.ProcessMessages();
  EXPECT_EQ(Form.MouseControl(), nullptr);
  EXPECT_EQ(Form.CaptureControl(), nullptr);
  EXPECT_EQ(Form.ActiveControl(), nullptr);
}

TEST_F(HoverFixture, DestroyingAHoveredControlRightAwayLeavesNoDanglingHover) {
  Add(Form, NewRecorder(TKind::Windowless, "Beneath", Log), {50, 50, 400, 400});
  TControl& Hovered = Add(Form, NewRecorder(TKind::Windowless, "Hovered", Log), {100, 100, 200, 200});
  MoveTo(150, 150);
  Headless.MouseDown(150, 150);
  App.ProcessMessages();
  ASSERT_EQ(Form.CaptureControl(), &Hovered);

  Form.RemoveControl(Hovered).reset();
  Headless.MouseUp(150, 150);
  App.ProcessMessages();

  EXPECT_EQ(Log, (TMessageLog{"Hovered enter", "Beneath enter"}));
  EXPECT_EQ(Form.CaptureControl(), nullptr);
}

}  // namespace
