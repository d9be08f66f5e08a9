// A second left press soon after the first and close to it arrives as a double click, for
// controls that ask for double clicks; any other second press is a plain press.
#include "TestScreen.h"

#include "forms/Application.h"

#include <gtest/gtest.h>

namespace {

using TestScreen::TMessageLog;
using TestScreen::TRecording;

struct TSecondPressCase {
  const char* Name;
  bool WantsDoubleClicks;
  uint32_t Delay;  // milliseconds between the two presses
  TPoint Offset;   // of the second press from the first
  const char* SecondPress;
};

class DoubleClickTest : public testing::TestWithParam<TSecondPressCase> {};

TEST_P(DoubleClickTest, SecondPressArrivesAsExpected) {
  const TSecondPressCase& Case = GetParam();
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TForm& Form = App.CreateForm<TForm>();
  Form.SetBorderStyle(TFormBorderStyle::bsNone);
  Form.SetBounds(0, 0, 640, 480);
  TMessageLog Log;
  auto& Target = Form.InsertControl(std::make_unique<TRecording<TGraphicControl>>(
      "Target", Log, std::vector<uint32_t>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
  Target.SetBounds(100, 100, 200, 200);
  TControlStyle Style = Target.ControlStyle() & ~csDoubleClicks;
  if (Case.WantsDoubleClicks) Style |= csDoubleClicks;
  Target.SetControlStyle(Style);
  Form.Show();
  App.ProcessMessages();

  Headless.AdvanceTime(5000);
  Headless.MouseDown(200, 200);
  Headless.MouseUp(200, 200);
  Headless.AdvanceTime(Case.Delay);
  Headless.MouseDown(200 + Case.Offset.X, 200 + Case.Offset.Y);
  Headless.MouseUp(200 + Case.Offset.X, 200 + Case.Offset.Y);
  App.ProcessMessages();

  EXPECT_EQ(Log, (TMessageLog{"Target down", std::string("Target ") + Case.SecondPress}));
}

INSTANTIATE_TEST_SUITE_P(
    Presses, DoubleClickTest,
    testing::Values(TSecondPressCase{"QuickAndClose", true, 100, {0, 0}, "double"},
                    TSecondPressCase{"AtTheLimits", true, 500, {4, -4}, "double"},
                    TSecondPressCase{"SameTime", true, 0, {-3, 2}, "double"},
                    TSecondPressCase{"TooSlow", true, 501, {0, 0}, "down"},
                    TSecondPressCase{"TooFarAcross", true, 100, {5, 0}, "down"},
                    TSecondPressCase{"TooFarDown", true, 100, {0, -5}, "down"},
                    TSecondPressCase{"ControlWithoutDoubleClicks", false, 100, {0, 0}, "down"}),
    [](const testing::TestParamInfo<TSecondPressCase>& Info) { return std::string(Info.param.Name); });

TEST(DoubleClickSequenceTest, ThePressAfterADoubleClickStartsAnewAndOtherButtonsDoNotPair) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TForm& Form = App.CreateForm<TForm>();
  Form.SetBorderStyle(TFormBorderStyle::bsNone);
  Form.SetBounds(0, 0, 640, 480);
  TMessageLog Log;
  auto& Target = Form.InsertControl(std::make_unique<TRecording<TGraphicControl>>(
      "Target", Log, std::vector<uint32_t>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}));
  Target.SetBounds(100, 100, 200, 200);
  Form.Show();
  App.ProcessMessages();

  Headless.AdvanceTime(5000);
  for (int Press = 0; Press < 4; ++Press) {
    Headless.MouseDown(150, 150);
    Headless.MouseUp(150, 150);
    Headless.AdvanceTime(50);
  }
  Headless.AdvanceTime(5000);
  Headless.MouseDown(150, 150, TMouseButton::Right);
  Headless.MouseUp(150, 150, TMouseButton::Right);
  Headless.AdvanceTime(50);
  Headless.MouseDown(150, 150, TMouseButton::Right);
  Headless.MouseUp(150, 150, TMouseButton::Right);
  App.ProcessMessages();

  EXPECT_EQ(Log, (TMessageLog{"Target down", "Target double", "Target down", "Target double", "Target right down",
                              "Target right down"}));
}

}  // namespace
