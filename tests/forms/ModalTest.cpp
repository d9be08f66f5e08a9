// Modal dialogs: ShowModal runs a loop of its own until a modal result is set; while it runs
// the form beneath gets no mouse, hover or keys; a quit request ends the dialog and then the
// program.
#include "TestScreen.h"

#include "forms/Application.h"

#include <gtest/gtest.h>

namespace {

using TestScreen::TIdleScript;
using TestScreen::TMessageLog;
using TestScreen::TRecording;

class ModalFixture : public testing::Test {
protected:
  ModalFixture()
      : App(TestScreen::NewHeadless()), Headless(TestScreen::Headless(App)), Main(App.CreateForm<TForm>()),
        Dialog(NewForm<TForm>()) {
    Main.SetBorderStyle(TFormBorderStyle::bsNone);
    Main.SetWindowState(TWindowState::wsMaximized);
    Main.OnActivate = [this](TObject*) { Log.push_back("main activate"); };
    Main.OnKeyPress = [this](TObject*, char& Key) { Log.push_back(std::string("main key ") + Key); };
    auto& Opener = Main.InsertControl(std::make_unique<TGraphicControl>());
    Opener.SetBounds(10, 10, 100, 40);
    Opener.OnClick = [this](TObject*) {
      Log.push_back("opening");
      const TModalResult Result = Dialog->ShowModal();
      Log.push_back("ShowModal returned " + std::to_string(Result));
    };
    Beneath = &Main.InsertControl(std::make_unique<TRecording<TGraphicControl>>("Beneath", Log));
    Beneath->SetBounds(10, 400, 100, 40);
    Beneath->OnClick = [this](TObject*) { Log.push_back("Beneath click"); };

    Dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
    Dialog->SetPosition(TPosition::poScreenCenter);
    Dialog->SetClientSize(200, 100);
    Dialog->OnActivate = [this](TObject*) { Log.push_back("dialog activate"); };
    Dialog->OnKeyPress = [this](TObject*, char& Key) { Log.push_back(std::string("dialog key ") + Key); };
    Ok = &Dialog->InsertControl(std::make_unique<TGraphicControl>());
    Ok->SetBounds(10, 10, 80, 30);
    Ok->OnClick = [this](TObject*) { Dialog->SetModalResult(mrOk); };
    Quit = &Dialog->InsertControl(std::make_unique<TGraphicControl>());
    Quit->SetBounds(110, 10, 80, 30);
    Quit->OnClick = [this](TObject*) {
      Application->Terminate();
      Log.push_back("code after Terminate");
    };
  }

  void ClickOn(const TControl& Control) {
    const TPoint P = TestScreen::Centre(Control.ScreenRect());
    Headless.Click(P.X, P.Y);
  }
  void ClickOpener() { Headless.Click(50, 30); }

  TApplication App;
  THeadlessScreen& Headless;
  TForm& Main;
  TFormPtr<TForm> Dialog;
  TControl* Beneath = nullptr;
  TControl* Ok = nullptr;
  TControl* Quit = nullptr;
  TMessageLog Log;
};

TEST_F(ModalFixture, ShowModalRunsUntilAModalResultAndBlocksTheFormBeneath) {
  bool ModalWhileWaiting = false;
  TCustomForm* ActiveWhileWaiting = nullptr;
  TIdleScript Script(Headless, {
                                   [&] { ClickOpener(); },
                                   [&] {
                                     ModalWhileWaiting = Dialog->Modal();
                                     ActiveWhileWaiting = Screen->ActiveForm();
                                     ClickOn(*Beneath);
                                     Headless.Type("x");
                                   },
                                   [&] { ClickOn(*Ok); },
                                   [&] { ClickOn(*Beneath); },
                               });

  App.Run();

  EXPECT_TRUE(Script.Finished());
  EXPECT_TRUE(ModalWhileWaiting);
  EXPECT_EQ(ActiveWhileWaiting, Dialog.get());
  // The mouse rested on Beneath while the dialog was up: no hover for it until the dialog ended.
  EXPECT_EQ(Log, (TMessageLog{"main activate", "opening", "dialog activate", "dialog key x", "ShowModal returned 1",
                              "main activate", "Beneath click", "Beneath enter"}));
  EXPECT_FALSE(Dialog->Visible());
  EXPECT_FALSE(Dialog->Modal());
}

TEST_F(ModalFixture, TheDialogsCloseBoxEndsItWithCancelAndTheProgramGoesOn) {
  TIdleScript Script(Headless, {
                                   [&] { ClickOpener(); },
                                   [&] {
                                     const TPoint Box = TestScreen::Centre(Dialog->CloseBoxScreenRect());
                                     Headless.Click(Box.X, Box.Y);
                                   },
                                   [&] { ClickOn(*Beneath); },
                               });

  App.Run();

  EXPECT_TRUE(Script.Finished());
  EXPECT_EQ(Log, (TMessageLog{"main activate", "opening", "dialog activate", "ShowModal returned 2", "main activate",
                              "Beneath click", "Beneath enter"}));
}

struct TQuitCase {
  const char* Name;
  bool FromWindowSystem;
};

class ModalQuitTest : public ModalFixture, public testing::WithParamInterface<TQuitCase> {};

TEST_P(ModalQuitTest, AQuitRequestEndsTheDialogAndThenTheOuterLoop) {
  TIdleScript Script(Headless, {
                                   [&] { ClickOpener(); },
                                   [&] {
                                     if (GetParam().FromWindowSystem) Headless.Close();
                                     else ClickOn(*Quit);
                                     ClickOn(*Beneath);
                                   },
                                   [&] { Log.push_back("waited again"); },
                               });

  App.Run();

  TMessageLog Expected{"main activate", "opening", "dialog activate"};
  if (!GetParam().FromWindowSystem) Expected.push_back("code after Terminate");
  Expected.push_back("ShowModal returned 2");
  EXPECT_EQ(Log, Expected);
  EXPECT_TRUE(App.Terminated());
  EXPECT_FALSE(Dialog->Visible());
  EXPECT_TRUE(Headless.HasPendingInput()) << "the click after the quit request is never read";
}

INSTANTIATE_TEST_SUITE_P(Requests, ModalQuitTest,
                         testing::Values(TQuitCase{"Terminate", false}, TQuitCase{"WindowSystemClose", true}),
                         [](const testing::TestParamInfo<TQuitCase>& Info) { return std::string(Info.param.Name); });

}  // namespace
