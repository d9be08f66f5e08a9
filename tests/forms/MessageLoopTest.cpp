// The message loop as a player meets it: a stop request lets the running handler finish and
// ends the loop when it is retrieved; painting waits until the queue has drained and then
// presents exactly the rectangles that were repainted.
#include "TestScreen.h"

#include "forms/Application.h"

#include <gtest/gtest.h>

namespace {

using TestScreen::TMessageLog;
using TestScreen::TRecording;

constexpr uint32_t FirstPrivateMessage = 0x0400;
constexpr uint32_t SecondPrivateMessage = 0x0401;

TForm& BorderlessForm(TApplication& App, const TRect& Bounds, TColor Color = clBlack) {
  TForm& Form = App.CreateForm<TForm>();
  Form.SetBorderStyle(TFormBorderStyle::bsNone);
  Form.SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
  Form.SetColor(Color);
  return Form;
}

template <class T>
T& AddControl(TWinControl& Parent, std::unique_ptr<T> Control, const TRect& Bounds) {
  T& Added = Parent.InsertControl(std::move(Control));
  Added.SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
  return Added;
}

TEST(MessageLoopTest, TerminateLetsTheHandlerFinishAndStopsAfterTheMessagesQueuedBeforeIt) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TMessageLog Log;
  TForm& Form = BorderlessForm(App, {0, 0, 640, 480});
  auto& Quitter = AddControl(Form,
                             std::make_unique<TRecording<TGraphicControl>>(
                                 "Quitter", Log, std::vector<uint32_t>{FirstPrivateMessage, SecondPrivateMessage}),
                             {10, 10, 110, 60});
  auto& Other = AddControl(Form, std::make_unique<TRecording<TGraphicControl>>("Other", Log), {200, 10, 300, 60});
  Quitter.OnClick = [&](TObject*) {
    Log.push_back("handler starts");
    Application->PostMessage(&Quitter, FirstPrivateMessage);
    Application->Terminate();
    Log.push_back("code after Terminate");
    Application->PostMessage(&Quitter, SecondPrivateMessage);
  };
  Other.OnClick = [&](TObject*) { Log.push_back("Other clicked"); };
  int Waits = 0;
  Headless.OnIdle = [&] { ++Waits; };
  Headless.Click(50, 30);
  Headless.Click(250, 30);

  App.Run();

  EXPECT_EQ(Log, (TMessageLog{"handler starts", "code after Terminate", "Quitter message 1024"}));
  EXPECT_TRUE(App.Terminated());
  EXPECT_EQ(Waits, 0) << "the loop must end on the quit request, not for want of input";
  EXPECT_TRUE(Headless.HasPendingInput()) << "input after the quit request is not read";
}

TEST(MessageLoopTest, TerminateFromAPostedMessageEndsTheLoopOnceItIsRetrieved) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TMessageLog Log;
  TForm& Form = BorderlessForm(App, {0, 0, 640, 480});
  auto& Target = AddControl(
      Form, std::make_unique<TRecording<TGraphicControl>>("Target", Log, std::vector<uint32_t>{FirstPrivateMessage}),
      {0, 0, 10, 10});
  Headless.OnIdle = [&] {
    if (Log.empty()) {
      // The quit is posted between two messages: the first of them runs, the second does not.
      Application->PostMessage(&Target, FirstPrivateMessage);
      Application->Terminate();
      Application->PostMessage(&Target, FirstPrivateMessage);
      Headless.Type("x");
    } else {
      Log.push_back("waited again");
    }
  };

  App.Run();

  EXPECT_EQ(Log, (TMessageLog{"Target message 1024"}));
  EXPECT_TRUE(App.Terminated());
}

TEST(MessageLoopTest, PaintWaitsUntilPostedMessagesAndQueuedInputAreHandledAndPresentsOnce) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TMessageLog Log;
  TForm& Form = BorderlessForm(App, {0, 0, 640, 480});
  auto& Box = AddControl(Form,
                         std::make_unique<TRecording<TGraphicControl>>(
                             "Box", Log, std::vector<uint32_t>{FirstPrivateMessage, WM_MOUSEMOVE}),
                         {100, 100, 140, 130});
  Box.LogPaint = true;
  Box.FillWithColor = true;
  Box.SetColor(clRed);
  auto& Trigger = AddControl(Form, std::make_unique<TRecording<TGraphicControl>>("Trigger", Log), {300, 100, 350, 150});
  Trigger.OnClick = [&](TObject*) {
    Box.SetColor(clLime);
    Application->PostMessage(&Box, FirstPrivateMessage);
    Application->PostMessage(&Box, FirstPrivateMessage);
  };

  int Idle = 0;
  TMessageLog SeenAtSecondWait;
  int PresentsInBurst = -1;
  std::vector<TRect> PresentedInBurst;
  uint32_t BoxPixel = 0;
  Headless.OnIdle = [&] {
    ++Idle;
    if (Idle == 1) {
      EXPECT_EQ(Headless.Pixel(120, 115), 0xFF0000u);
      Log.clear();
      Headless.ResetCounts();
      Headless.Click(325, 125);
      Headless.MouseMove(110, 110);
      Headless.MouseMove(120, 115);
    } else if (Idle == 2) {
      SeenAtSecondWait = Log;
      PresentsInBurst = Headless.PresentCount();
      PresentedInBurst = Headless.LastPresented();
      BoxPixel = Headless.Pixel(120, 115);
    }
  };

  App.Run();

  ASSERT_GE(Idle, 2);
  EXPECT_EQ(SeenAtSecondWait,
            (TMessageLog{"Box message 1024", "Box message 1024", "Box move", "Box move", "Box paint"}));
  EXPECT_EQ(PresentsInBurst, 1);
  EXPECT_EQ(PresentedInBurst, (std::vector<TRect>{{100, 100, 140, 130}}));
  EXPECT_EQ(BoxPixel, 0x00FF00u);
}

TEST(MessageLoopTest, SeparateInvalidAreasArePresentedTogetherButNotMerged) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TMessageLog Log;
  TForm& Form = BorderlessForm(App, {0, 0, 640, 480});
  auto& First = AddControl(Form, std::make_unique<TRecording<TGraphicControl>>("First", Log), {10, 10, 30, 30});
  auto& Second = AddControl(Form, std::make_unique<TRecording<TGraphicControl>>("Second", Log), {200, 300, 260, 320});
  Form.Show();
  App.ProcessMessages();
  Headless.ResetCounts();

  First.Invalidate();
  Second.Invalidate();
  App.ProcessMessages();

  EXPECT_EQ(Headless.PresentCount(), 1);
  EXPECT_EQ(Headless.LastPresented(), (std::vector<TRect>{{10, 10, 30, 30}, {200, 300, 260, 320}}));
}

struct TPresentCase {
  const char* Name;
  bool InPanel;
  TRect ControlBounds;  // in its parent
  TRect Expected;       // on the screen
};

class InvalidatedControlPresentTest : public testing::TestWithParam<TPresentCase> {};

TEST_P(InvalidatedControlPresentTest, PresentsOnlyTheVisiblePartOfTheControl) {
  const TPresentCase& Case = GetParam();
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TMessageLog Log;
  // The form lies away from the screen's corner so that a missing offset shows.
  TForm& Form = BorderlessForm(App, {100, 50, 400, 250});
  TWinControl* Parent = &Form;
  if (Case.InPanel) Parent = &AddControl(Form, std::make_unique<TWinControl>(), {20, 30, 80, 70});
  auto& Control = AddControl(*Parent, std::make_unique<TRecording<TGraphicControl>>("Control", Log), Case.ControlBounds);
  Form.Show();
  App.ProcessMessages();
  Headless.ResetCounts();

  Control.Invalidate();
  App.ProcessMessages();

  EXPECT_EQ(Headless.PresentCount(), 1);
  EXPECT_EQ(Headless.LastPresented(), (std::vector<TRect>{Case.Expected}));
}

INSTANTIATE_TEST_SUITE_P(
    Placements, InvalidatedControlPresentTest,
    testing::Values(TPresentCase{"OnTheForm", false, {10, 20, 60, 50}, {110, 70, 160, 100}},
                    TPresentCase{"InAPanel", true, {5, 6, 25, 16}, {125, 86, 145, 96}},
                    TPresentCase{"CutByThePanel", true, {40, 25, 90, 55}, {160, 105, 180, 120}}),
    [](const testing::TestParamInfo<TPresentCase>& Info) { return std::string(Info.param.Name); });

TEST(MessageLoopTest, UpdatePaintsAndPresentsThePendingAreaAtOnce) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TMessageLog Log;
  TForm& Form = BorderlessForm(App, {0, 0, 640, 480});
  auto& Box = AddControl(Form, std::make_unique<TRecording<TGraphicControl>>("Box", Log), {20, 30, 60, 50});
  Box.FillWithColor = true;
  Box.SetColor(clRed);
  Form.Show();
  App.ProcessMessages();
  Headless.ResetCounts();
  Application->PostMessage(&Form, FirstPrivateMessage);

  Box.SetColor(clLime);
  EXPECT_EQ(Headless.PresentCount(), 0) << "invalidating alone paints nothing";
  Box.Update();

  EXPECT_EQ(Headless.PresentCount(), 1);
  EXPECT_EQ(Headless.LastPresented(), (std::vector<TRect>{{20, 30, 60, 50}}));
  EXPECT_EQ(Headless.Pixel(40, 40), 0x00FF00u);
  EXPECT_EQ(App.PendingMessages(&Form), 1u) << "the queue is left as it was";
}

TEST(MessageLoopTest, NothingIsPresentedWhenNothingWasInvalidated) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TForm& Form = BorderlessForm(App, {0, 0, 640, 480});
  Form.Show();
  App.ProcessMessages();
  Headless.ResetCounts();

  Headless.MouseMove(5, 5);
  Application->PostMessage(&Form, FirstPrivateMessage);
  App.ProcessMessages();

  EXPECT_EQ(Headless.PresentCount(), 0);
}

}  // namespace
