// The hot-spot button: at rest it cannot be told from its container; hovered it shows the same
// rectangle of the highlighted picture and changes nothing else; a left press calls its handler
// once, with no capture; other presses do nothing.
#include "PictureMapFixture.h"

#include "controls/Registration.h"
#include "forms/ErrorBox.h"
#include "forms/Layout.h"

#include <gtest/gtest.h>

namespace {

using namespace TestPictures;

TEST_F(PictureMapFixture, AtRestTheButtonsShowExactlyWhatTheContainerShows) {
  EXPECT_TRUE(ScreenShows(Expected({})));

  // Painting only the buttons gives the same frame.
  First->Invalidate();
  Second->Invalidate();
  App.ProcessMessages();
  EXPECT_TRUE(ScreenShows(Expected({})));
}

TEST_F(PictureMapFixture, HoveringShowsTheHighlightedRectangleAndChangesNothingElse) {
  const std::vector<uint32_t> AtRest = TestScreen::Frame(Headless);
  Headless.ResetCounts();

  MoveTo(TestScreen::Centre(OnScreen(*First)));

  EXPECT_TRUE(First->MouseInside());
  EXPECT_TRUE(ScreenShows(Expected({OnScreen(*First)})));
  EXPECT_EQ(TestScreen::ChangedOutside(AtRest, TestScreen::Frame(Headless), 800, OnScreen(*First)), 0);
  EXPECT_EQ(Headless.PresentCount(), 1);
  EXPECT_EQ(Headless.LastPresented(), (std::vector<TRect>{OnScreen(*First)}));

  MoveTo({ContainerOnScreen.Left + 500, ContainerOnScreen.Top + 400});

  EXPECT_FALSE(First->MouseInside());
  EXPECT_EQ(TestScreen::Frame(Headless), AtRest);
}

TEST_F(PictureMapFixture, MovingStraightOntoTheNeighbourSwapsTheHighlight) {
  const TRect FirstRect = OnScreen(*First), SecondRect = OnScreen(*Second);
  ASSERT_EQ(FirstRect.Right, SecondRect.Left) << "the buttons touch";
  MoveTo({FirstRect.Right - 1, FirstRect.Top + 10});
  ASSERT_TRUE(ScreenShows(Expected({FirstRect})));

  MoveTo({SecondRect.Left, SecondRect.Top + 10});

  EXPECT_FALSE(First->MouseInside());
  EXPECT_TRUE(Second->MouseInside());
  EXPECT_TRUE(ScreenShows(Expected({SecondRect})));
}

TEST_F(PictureMapFixture, WithIdenticalPicturesHoveringChangesNoPixel) {
  Container->Picture2().Assign(Container->Picture1());
  const std::vector<uint32_t> AtRest = TestScreen::Frame(Headless);

  MoveTo(TestScreen::Centre(OnScreen(*First)));

  EXPECT_TRUE(First->MouseInside());
  EXPECT_EQ(TestScreen::Frame(Headless), AtRest);
}

TEST_F(PictureMapFixture, AButtonMovedAtRunTimeShowsThePartUnderItsNewRectangle) {
  const TRect Before = OnScreen(*First);
  MoveTo({Before.Left + 40, Before.Top + 20});
  ASSERT_TRUE(First->MouseInside());

  First->SetLeft(First->Left() - 13);
  First->SetTop(First->Top() + 7);
  App.ProcessMessages();

  // The mouse is still inside: the new rectangle is highlighted from its own place in the
  // picture, the strip it left shows the normal picture again.
  ASSERT_TRUE(First->MouseInside());
  EXPECT_TRUE(ScreenShows(Expected({Before.Offset(-13, 7)})));
}

TEST_F(PictureMapFixture, ButtonsOfTheSameContainerCanBeMovedApartAndStayInvisibleAtRest) {
  Second->SetBounds(400, 300, 90, 50);
  App.ProcessMessages();

  EXPECT_TRUE(ScreenShows(Expected({})));

  MoveTo(TestScreen::Centre(OnScreen(*Second)));
  EXPECT_TRUE(ScreenShows(Expected({TRect{440, 325, 530, 375}})));
}

class ButtonPressFixture : public PictureMapFixture {
protected:
  ButtonPressFixture() {
    First->SetOnLeftButtonDown([this](TObject* Sender) { Senders.push_back(Sender); });
    Press = TestScreen::Centre(OnScreen(*First));
    MoveTo(Press);
  }

  std::vector<TObject*> Senders;
  TPoint Press;
};

TEST_F(ButtonPressFixture, ALeftPressCallsTheHandlerOnceWithTheButtonAndTakesNoCapture) {
  Headless.AdvanceTime(5000);
  Headless.MouseDown(Press.X, Press.Y);
  App.ProcessMessages();

  EXPECT_EQ(Senders, (std::vector<TObject*>{First}));
  EXPECT_EQ(Form.CaptureControl(), nullptr);

  Headless.MouseUp(Press.X, Press.Y);
  App.ProcessMessages();
  EXPECT_EQ(Senders.size(), 1u) << "the release does nothing";
  EXPECT_TRUE(First->MouseInside()) << "a press does not change the hover state";
}

TEST_F(ButtonPressFixture, RightAndMiddlePressesDoNothing) {
  Headless.Click(Press.X, Press.Y, TMouseButton::Right);
  Headless.Click(Press.X, Press.Y, TMouseButton::Middle);
  App.ProcessMessages();

  EXPECT_TRUE(Senders.empty());
  EXPECT_EQ(Form.CaptureControl(), nullptr);
}

TEST_F(ButtonPressFixture, AQuickDoubleClickCallsTheHandlerOnlyForItsFirstPress) {
  Headless.AdvanceTime(5000);
  Headless.MouseDown(Press.X, Press.Y);
  Headless.MouseUp(Press.X, Press.Y);
  Headless.AdvanceTime(200);
  Headless.MouseDown(Press.X + 1, Press.Y);
  Headless.MouseUp(Press.X + 1, Press.Y);
  App.ProcessMessages();

  EXPECT_EQ(Senders, (std::vector<TObject*>{First}));
  EXPECT_EQ(Form.CaptureControl(), nullptr);

  // Two slow presses are two presses.
  Headless.Click(Press.X, Press.Y);
  Headless.Click(Press.X, Press.Y);
  App.ProcessMessages();
  EXPECT_EQ(Senders.size(), 3u);
}

TEST_F(ButtonPressFixture, AButtonWithoutAHandlerIgnoresPresses) {
  const TPoint OnSecond = TestScreen::Centre(OnScreen(*Second));
  const std::vector<uint32_t> Before = TestScreen::Frame(Headless);

  Headless.Click(OnSecond.X, OnSecond.Y);
  MoveTo(Press);

  EXPECT_TRUE(Senders.empty());
  EXPECT_EQ(Form.CaptureControl(), nullptr);
  EXPECT_EQ(TestScreen::Frame(Headless), Before);
}

TEST_F(ButtonPressFixture, AnExceptionFromTheHandlerIsShownAndTheButtonGoesOn) {
  First->SetOnLeftButtonDown([this](TObject* Sender) {
    Senders.push_back(Sender);
    throw Exception("Cannot open file credits1.bmp");
  });
  std::string Shown;
  Headless.OnIdle = [&] {
    for (TWinControl* Window : Screen->Windows())
      if (auto* Box = dynamic_cast<TErrorBox*>(Window); Box && Shown.empty()) {
        Shown = Box->Title() + ": " + Box->Message();
        Headless.Type("\r");
        Headless.Click(Press.X, Press.Y);
      }
  };
  Headless.Click(Press.X, Press.Y);

  App.Run();

  EXPECT_EQ(Senders.size(), 2u);
  EXPECT_EQ(Shown, "controls_tests: Cannot open file credits1.bmp");
}

TEST_F(PictureMapFixture, LayoutsBindTheHandlerByName) {
  class TMenuForm : public TForm {
  public:
    TMethodTable MethodTable() override {
      return {{"HotSpotLeftButtonDown", TNotifyEvent([this](TObject* Sender) { Pressed.push_back(Sender); })}};
    }
    std::vector<TObject*> Pressed;
  };
  RegisterPictureMapControls();
  TFormPtr<TMenuForm> Menu = NewForm<TMenuForm>();
  LoadLayout(*Menu, R"({"name": "Menu", "BorderStyle": "bsNone", "Left": 0, "Top": 0, "Width": 800, "Height": 600,
    "controls": [{"class": "MatContainer", "name": "Pictures", "Left": 0, "Top": 0, "Width": 640, "Height": 480,
      "controls": [{"class": "MatButton", "name": "HotSpot", "Left": 10, "Top": 10, "Width": 50, "Height": 50,
                    "OnLeftButtonDown": "HotSpotLeftButtonDown"}]}]})",
             "menu.layout.json");
  Menu->Show();
  App.ProcessMessages();

  Headless.Click(30, 30);
  App.ProcessMessages();

  EXPECT_EQ(Menu->Pressed, (std::vector<TObject*>{&LayoutControl<MatButton>(*Menu, "HotSpot")}));
}

}  // namespace
