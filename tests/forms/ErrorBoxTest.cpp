// An exception that leaves an event handler is shown in the standard error box: the message,
// the application's title, OK. The box waits for Enter, Space, Escape or a click on OK, keeps
// keys from the form beneath, never changes the active form, and the program goes on.
#include "TestScreen.h"

#include "forms/Application.h"
#include "forms/ErrorBox.h"
#include "os/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using TestScreen::TMessageLog;

TErrorBox* ShownErrorBox() {
  TErrorBox* Found = nullptr;
  for (TWinControl* Window : Screen->Windows())
    if (auto* Box = dynamic_cast<TErrorBox*>(Window)) Found = Box;
  return Found;
}

// What the box looked like while it waited.
struct TSeenBox {
  std::string Message;
  std::string Title;
  TRect ScreenRect;
  int Activations = 0;
  bool ShowsSomething = false;
};

// A main form with two buttons-to-be: Failing throws from its click handler, Working counts
// its clicks. The idle steps run one after the other whenever the program waits for input.
class ErrorBoxFixture : public testing::Test {
protected:
  explicit ErrorBoxFixture(std::string ExeName = TApplication::CurrentExeName())
      : App(TestScreen::NewHeadless(), std::move(ExeName)), Headless(TestScreen::Headless(App)),
        Form(App.CreateForm<TForm>()) {
    Form.SetBorderStyle(TFormBorderStyle::bsNone);
    Form.SetWindowState(TWindowState::wsMaximized);
    Form.SetColor(clNavy);
    Form.OnActivate = [this](TObject*) { ++Activations; };
    Form.OnKeyPress = [this](TObject*, char& Key) { Log.push_back(std::string("form key ") + Key); };
    Failing = &Form.InsertControl(std::make_unique<TGraphicControl>());
    Failing->SetBounds(10, 10, 100, 40);
    Failing->OnClick = [this](TObject*) {
      Log.push_back("failing handler starts");
      throw EFOpenError("Cannot open file menu1.bmp");
    };
    Working = &Form.InsertControl(std::make_unique<TGraphicControl>());
    Working->SetBounds(10, 400, 100, 40);
    Working->OnClick = [this](TObject*) { Log.push_back("working handler"); };
    Headless.OnIdle = [this] {
      if (NextStep < Steps.size()) Steps[NextStep++]();
    };
  }

  // Records the box that is waiting now.
  void SeeBox() {
    TErrorBox* Box = ShownErrorBox();
    ASSERT_NE(Box, nullptr) << "no error box while the program waits";
    TSeenBox Seen{Box->Message(), Box->Title(), Box->ScreenRect(), Activations, false};
    const TPoint Centre = TestScreen::Centre(Box->ScreenRect());
    Seen.ShowsSomething = Headless.Pixel(Centre.X, Centre.Y) != 0x000080u;
    SeenBoxes.push_back(Seen);
  }

  void ClickFailing() { Headless.Click(50, 30); }
  void ClickWorking() { Headless.Click(50, 420); }

  TApplication App;
  THeadlessScreen& Headless;
  TForm& Form;
  TControl* Failing = nullptr;
  TControl* Working = nullptr;
  TMessageLog Log;
  int Activations = 0;
  std::vector<std::function<void()>> Steps;
  size_t NextStep = 0;
  std::vector<TSeenBox> SeenBoxes;
};

struct TCloseCase {
  const char* Name;
  std::function<void(THeadlessScreen&, const TErrorBox&)> Close;
};

class ErrorBoxCloseTest : public ErrorBoxFixture, public testing::WithParamInterface<TCloseCase> {};

TEST_P(ErrorBoxCloseTest, ShowsTheExceptionClosesAndTheProgramGoesOn) {
  Steps = {
      [&] { ClickFailing(); },
      [&] {
        SeeBox();
        Headless.Type("q");  // any other key leaves the box open
      },
      [&] {
        SeeBox();
        GetParam().Close(Headless, *ShownErrorBox());
        ClickWorking();
      },
      [&] {
        EXPECT_EQ(ShownErrorBox(), nullptr);
        // The area the box covered shows the form again.
        const TPoint Centre = TestScreen::Centre(SeenBoxes.front().ScreenRect);
        EXPECT_EQ(Headless.Pixel(Centre.X, Centre.Y), 0x000080u);
      },
  };

  App.Run();

  ASSERT_EQ(NextStep, Steps.size());
  ASSERT_EQ(SeenBoxes.size(), 2u);
  for (const TSeenBox& Seen : SeenBoxes) {
    EXPECT_EQ(Seen.Message, "Cannot open file menu1.bmp");
    EXPECT_EQ(Seen.Title, "forms_tests");
    EXPECT_EQ(Seen.Activations, 1);
    EXPECT_TRUE(Seen.ShowsSomething) << "the box is presented on the screen";
  }
  EXPECT_EQ(Log, (TMessageLog{"failing handler starts", "working handler"}))
      << "keys for the box never reach the form, and later input is handled";
  EXPECT_EQ(Activations, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ErrorBoxCloseTest,
    testing::Values(TCloseCase{"Enter", [](THeadlessScreen& S, const TErrorBox&) { S.Type("\r"); }},
                    TCloseCase{"Space", [](THeadlessScreen& S, const TErrorBox&) { S.Type(" "); }},
                    TCloseCase{"Escape", [](THeadlessScreen& S, const TErrorBox&) { S.Type("\x1b"); }},
                    TCloseCase{"ClickOnOk",
                               [](THeadlessScreen& S, const TErrorBox& Box) {
                                 const TPoint Ok = TestScreen::Centre(Box.OkButtonScreenRect());
                                 S.Click(Ok.X, Ok.Y);
                               }}),
    [](const testing::TestParamInfo<TCloseCase>& Info) { return std::string(Info.param.Name); });

TEST_F(ErrorBoxFixture, AClickBesideOkOrAPressReleasedOutsideItLeavesTheBoxOpen) {
  Steps = {
      [&] { ClickFailing(); },
      [&] {
        SeeBox();
        const TErrorBox& Box = *ShownErrorBox();
        const TRect Ok = Box.OkButtonScreenRect();
        Headless.Click(Ok.Left - 5, Ok.Top + 5);
        Headless.AdvanceTime(1000);
        Headless.MouseDown(Ok.Left + 5, Ok.Top + 5);
        Headless.MouseUp(Ok.Right + 5, Ok.Top + 5);
      },
      [&] {
        SeeBox();
        Headless.Type("\r");
      },
  };

  App.Run();

  EXPECT_EQ(SeenBoxes.size(), 2u);
  EXPECT_EQ(ShownErrorBox(), nullptr);
}

TEST_F(ErrorBoxFixture, AFailingActivationShowsOneBoxAndIsNotRunAgainByIt) {
  Form.OnActivate = [this](TObject*) {
    ++Activations;
    throw EFOpenError("Cannot open file credits1.bmp");
  };
  Steps = {
      [&] {
        SeeBox();
        Headless.Type("\x1b");
      },
      [&] {
        EXPECT_EQ(ShownErrorBox(), nullptr) << "closing the box must not reopen it";
        ClickWorking();
      },
  };

  App.Run();

  ASSERT_EQ(NextStep, Steps.size());
  ASSERT_EQ(SeenBoxes.size(), 1u);
  EXPECT_EQ(SeenBoxes[0].Message, "Cannot open file credits1.bmp");
  EXPECT_EQ(Activations, 1);
  EXPECT_EQ(Log, (TMessageLog{"working handler"}));
}

TEST_F(ErrorBoxFixture, AQuitRequestWhileTheBoxWaitsEndsTheBoxAndTheProgram) {
  Steps = {
      [&] { ClickFailing(); },
      [&] {
        SeeBox();
        Headless.Close();
        ClickWorking();
      },
  };

  App.Run();

  EXPECT_EQ(SeenBoxes.size(), 1u);
  EXPECT_TRUE(App.Terminated());
  EXPECT_EQ(ShownErrorBox(), nullptr);
  EXPECT_EQ(Log, (TMessageLog{"failing handler starts"}));
}

class NamedExeErrorBoxTest : public ErrorBoxFixture {
protected:
  NamedExeErrorBoxTest() : ErrorBoxFixture("/opt/some where/startmenu") {}
};

TEST_F(NamedExeErrorBoxTest, TheTitleIsTheExecutablesBaseName) {
  Steps = {
      [&] { ClickFailing(); },
      [&] {
        SeeBox();
        Headless.Type("\r");
      },
  };

  App.Run();

  ASSERT_EQ(SeenBoxes.size(), 1u);
  EXPECT_EQ(SeenBoxes[0].Title, "startmenu");
  EXPECT_EQ(App.Title(), "startmenu");
}

TEST(ErrorBoxMessageTest, AnExceptionFromAPostedMessageIsShownToo) {
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TForm& Form = App.CreateForm<TForm>();
  class TThrowing : public TGraphicControl {
  public:
    void Dispatch(TMessage& Message) override {
      if (Message.Msg == 0x0400) throw Exception("posted message failed");
      TGraphicControl::Dispatch(Message);
    }
  };
  auto& Target = Form.InsertControl(std::make_unique<TThrowing>());
  std::optional<std::string> Seen;
  bool Posted = false;
  Headless.OnIdle = [&] {
    if (!Posted) {
      Posted = true;
      Application->PostMessage(&Target, 0x0400);
      Headless.MouseMove(1, 1);  // something to wait for, so that the wait does not end the run
    } else if (TErrorBox* Box = ShownErrorBox(); Box && !Seen) {
      Seen = Box->Message();
      Headless.Type(" ");
    }
  };

  App.Run();

  EXPECT_EQ(Seen, "posted message failed");
  EXPECT_EQ(ShownErrorBox(), nullptr);
}


TEST(PaintErrorTest, AnExceptionWhilePaintingIsShownAndPaintingGoesOn) {
  class TFailingPaint : public TGraphicControl {
  public:
    int FailuresLeft = 1;

  protected:
    void Paint() override {
      if (FailuresLeft > 0) {
        --FailuresLeft;
        throw Exception("painting failed");
      }
      Canvas().Brush = {clLime, TBrushStyle::Solid};
      Canvas().FillRect(ClientRect());
    }
  };
  TApplication App(TestScreen::NewHeadless());
  THeadlessScreen& Headless = TestScreen::Headless(App);
  TForm& Form = App.CreateForm<TForm>();
  Form.SetBorderStyle(TFormBorderStyle::bsNone);
  Form.SetWindowState(TWindowState::wsMaximized);
  Form.SetColor(clNavy);
  auto& Failing = Form.InsertControl(std::make_unique<TFailingPaint>());
  Failing.SetBounds(10, 10, 40, 40);
  std::string Message;
  TRect BoxRect;
  uint32_t BoxCentre = 0, AfterBox = 0, Repainted = 0;
  TestScreen::TIdleScript Script(Headless, {
      [&] {
        TErrorBox* Box = ShownErrorBox();
        ASSERT_NE(Box, nullptr);
        Message = Box->Message();
        BoxRect = Box->ScreenRect();
        BoxCentre = Headless.Pixel(TestScreen::Centre(BoxRect).X, TestScreen::Centre(BoxRect).Y);
        Headless.Type("\r");
      },
      [&] {
        AfterBox = Headless.Pixel(TestScreen::Centre(BoxRect).X, TestScreen::Centre(BoxRect).Y);
        Failing.Invalidate();
        Headless.MouseMove(300, 300);
      },
      [&] { Repainted = Headless.Pixel(20, 20); },
  });

  App.Run();

  EXPECT_TRUE(Script.Finished());
  EXPECT_EQ(Message, "painting failed");
  EXPECT_NE(BoxCentre, 0x000000u) << "the box is painted while it waits";
  EXPECT_EQ(AfterBox, 0x000080u) << "the form is painted again where the box was";
  EXPECT_EQ(Repainted, 0x00FF00u) << "painting goes on after the failure";
}

}  // namespace
