// Push buttons: the pressed look while held, the click on a release inside, the dialog keys,
// the default button's frame and the layout properties.
#include "forms/HeadlessTestSupport.h"

#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/CheckBox.h"
#include "forms/Layout.h"
#include "os/HeadlessScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace HeadlessTest;

namespace {

// Two buttons with the same caption and size, one of them the default, so that their looks
// differ by the default's frame alone.
constexpr char ButtonsLayout[] = R"({
  "name": "ButtonsForm", "BorderStyle": "bsDialog", "Caption": "Buttons", "Position": "poScreenCenter",
  "ClientWidth": 300, "ClientHeight": 120,
  "controls": [
    {"class": "TButton", "name": "OkButton", "Left": 10, "Top": 80, "Width": 75, "Height": 25,
     "Caption": "Ok", "Default": true, "ModalResult": "mrOk", "TabOrder": 0},
    {"class": "TButton", "name": "CancelButton", "Left": 100, "Top": 80, "Width": 75, "Height": 25,
     "Caption": "Cancel", "Cancel": true, "ModalResult": "mrCancel", "TabOrder": 1},
    {"class": "TButton", "name": "PlainButton", "Left": 190, "Top": 80, "Width": 75, "Height": 25,
     "Caption": "Ok", "TabOrder": 2},
    {"class": "TCheckBox", "name": "Box", "Left": 10, "Top": 10, "Width": 120, "Height": 17,
     "Caption": "Box", "TabOrder": 3}
  ]})";

class ButtonTest : public testing::Test {
protected:
  ButtonTest() {
    LoadLayout(*Form, ButtonsLayout, "buttons.layout.json");
    for (const char* Name : {"OkButton", "CancelButton", "PlainButton"})
      Button(Name).OnClick = [this, Name](TObject*) { Clicks.push_back(Name); };
  }

  TButton& Button(const std::string& Name) { return LayoutControl<TButton>(*Form, Name); }
  TWinControl& Control(const std::string& Name) { return LayoutControl<TWinControl>(*Form, Name); }
  void ShowForm() {
    Form->Show();
    App.ProcessMessages();
  }
  void Focus(const std::string& Name) {
    Control(Name).SetFocus();
    App.ProcessMessages();
  }

  TApplication App{std::make_unique<THeadlessScreen>(640, 480)};
  THeadlessScreen& Headless = static_cast<THeadlessScreen&>(App.Backend());
  TFormPtr<TForm> Form = NewForm<TForm>();
  std::vector<std::string> Clicks;
};

// Mouse steps: d press inside, i move inside, o move outside (onto the form), U release inside,
// u release outside. PressedAfter tells after each step whether the button looks pressed.
struct TPressCase {
  const char* Name;
  const char* Steps;
  const char* PressedAfter;
  size_t Clicks;
};

const TPressCase PressCases[] = {
    {"ReleaseInsideClicks", "dU", "10", 1},
    {"MovesInsideKeepItPressed", "diiU", "1110", 1},
    {"ReleaseOutsideDoesNotClick", "dou", "100", 0},
    {"BackInsideBeforeReleaseClicks", "doiU", "1010", 1},
};

class ButtonPressTest : public ButtonTest, public testing::WithParamInterface<TPressCase> {};

TEST_P(ButtonPressTest, LooksPressedWhileHeldOverItAndClicksOnReleaseInside) {
  const TPressCase& Case = GetParam();
  ShowForm();
  TButton& Plain = Button("PlainButton");
  Focus("PlainButton");
  const TRect Area = Plain.ScreenRect();
  const std::vector<uint32_t> Raised = Pixels(Headless, Area);
  const TPoint Inside = Middle(Plain);
  const TPoint Outside{Inside.X, Area.Top - 20};

  const std::string Steps = Case.Steps;
  for (size_t Index = 0; Index < Steps.size(); ++Index) {
    switch (Steps[Index]) {
      case 'd': Headless.MouseDown(Inside.X, Inside.Y); break;
      case 'i': Headless.MouseMove(Inside.X + static_cast<int32_t>(Index), Inside.Y); break;
      case 'o': Headless.MouseMove(Outside.X, Outside.Y); break;
      case 'U': Headless.MouseUp(Inside.X, Inside.Y); break;
      case 'u': Headless.MouseUp(Outside.X, Outside.Y); break;
    }
    App.ProcessMessages();
    const bool Expected = Case.PressedAfter[Index] == '1';
    SCOPED_TRACE("after step " + std::to_string(Index) + " '" + Steps[Index] + "'");
    EXPECT_EQ(Plain.Pressed(), Expected);
    if (Expected) EXPECT_NE(Pixels(Headless, Area), Raised);
    else EXPECT_EQ(Pixels(Headless, Area), Raised);
  }
  EXPECT_EQ(Clicks, std::vector<std::string>(Case.Clicks, "PlainButton"));
  EXPECT_EQ(Form->CaptureControl(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, ButtonPressTest, testing::ValuesIn(PressCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ButtonTest, APressTakesTheFocus) {
  ShowForm();
  Focus("OkButton");
  for (const char* Name : {"PlainButton", "Box", "CancelButton"}) {
    const TPoint P = Middle(Control(Name));
    Headless.MouseDown(P.X, P.Y);
    App.ProcessMessages();
    EXPECT_EQ(Form->ActiveControl(), &Control(Name)) << Name;
    Headless.MouseUp(P.X, P.Y);
    App.ProcessMessages();
  }
}

// Keys typed at the modal form while Focus has the focus. A form that stays open is closed
// by the script afterwards.
struct TKeyCase {
  const char* Name;
  const char* Focus;
  const char* Keys;
  bool Closes;
  TModalResult Result;
  std::vector<std::string> Clicked;
};

const TKeyCase KeyCases[] = {
    {"EnterPressesTheDefaultButton", "Box", "\r", true, mrOk, {"OkButton"}},
    {"EnterOnTheFocusedDefaultButton", "OkButton", "\r", true, mrOk, {"OkButton"}},
    {"EnterGoesToTheFocusedButtonNotTheDefault", "CancelButton", "\r", true, mrCancel, {"CancelButton"}},
    {"EnterOnAButtonWithoutModalResultKeepsTheFormOpen", "PlainButton", "\r", false, mrCancel, {"PlainButton"}},
    {"EscapePressesTheCancelButton", "Box", "\x1b", true, mrCancel, {"CancelButton"}},
    {"EscapeWithTheDefaultButtonFocused", "OkButton", "\x1b", true, mrCancel, {"CancelButton"}},
    {"SpacePressesTheFocusedButton", "OkButton", " ", true, mrOk, {"OkButton"}},
    {"SpaceOnAButtonWithoutModalResult", "PlainButton", "  ", false, mrCancel, {"PlainButton", "PlainButton"}},
    {"SpaceOnACheckBoxPressesNoButton", "Box", " ", false, mrCancel, {}},
    {"OtherKeysPressNothing", "OkButton", "ab1", false, mrCancel, {}},
};

class ButtonKeyTest : public ButtonTest, public testing::WithParamInterface<TKeyCase> {};

TEST_P(ButtonKeyTest, DialogKeysAndSpace) {
  const TKeyCase& Case = GetParam();
  TIdleScript Script(Headless, {[&] {
                                  Control(Case.Focus).SetFocus();
                                  Headless.Type(Case.Keys);
                                },
                                [&] {
                                  Form->Close();
                                  Headless.MouseMove(0, 0);
                                }});
  const TModalResult Result = Form->ShowModal();
  EXPECT_EQ(Script.StepsRun(), Case.Closes ? 1u : 2u);
  EXPECT_EQ(Result, Case.Result);
  EXPECT_EQ(Clicks, Case.Clicked);
  EXPECT_FALSE(App.Terminated());
}

INSTANTIATE_TEST_SUITE_P(Cases, ButtonKeyTest, testing::ValuesIn(KeyCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ButtonTest, AClickSetsTheModalResultOfTheForm) {
  TIdleScript Script(Headless, {[&] {
    const TPoint P = Middle(Button("CancelButton"));
    Headless.Click(P.X, P.Y);
  }});
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  EXPECT_EQ(Script.WaitsAfterLastStep(), 0);
  EXPECT_EQ(Clicks, std::vector<std::string>{"CancelButton"});
}

TEST_F(ButtonTest, TheDefaultButtonWearsAThickBlackFrame) {
  ShowForm();
  Focus("Box");
  TButton& Default = Button("OkButton");
  TButton& Plain = Button("PlainButton");
  const auto TopRow = [&](const TButton& B) {
    const TRect R = B.ScreenRect();
    return Pixels(Headless, {R.Left, R.Top, R.Right, R.Top + 1});
  };
  const auto Black = [](uint32_t Pixel) { return Pixel == 0x000000; };
  const std::vector<uint32_t> DefaultTop = TopRow(Default), PlainTop = TopRow(Plain);
  EXPECT_TRUE(std::all_of(DefaultTop.begin(), DefaultTop.end(), Black));
  EXPECT_FALSE(std::all_of(PlainTop.begin(), PlainTop.end(), Black));

  // Without its default the button looks exactly like its twin.
  Default.SetDefault(false);
  App.ProcessMessages();
  EXPECT_EQ(Pixels(Headless, Default.ScreenRect()), Pixels(Headless, Plain.ScreenRect()));
}

TEST_F(ButtonTest, IsATabStopByDefault) {
  TButton Fresh;
  EXPECT_TRUE(Fresh.TabStop());
  EXPECT_FALSE(Fresh.Default());
  EXPECT_FALSE(Fresh.Cancel());
  EXPECT_EQ(Fresh.ModalResult(), mrNone);
}

struct TModalResultCase {
  const char* Text;
  TModalResult Expected;
};

TEST(ButtonLayoutTest, ModalResultIsReadByName) {
  TApplication App(std::make_unique<THeadlessScreen>(640, 480));
  const TModalResultCase Cases[] = {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}};
  for (const TModalResultCase& Case : Cases) {
    TFormPtr<TForm> Form = NewForm<TForm>();
    LoadLayout(*Form,
               std::string(R"({"controls": [{"class": "TButton", "name": "B", "ModalResult": ")") + Case.Text +
                   R"(", "Default": true, "Cancel": true}]})",
               "button.layout.json");
    const TButton& B = LayoutControl<TButton>(*Form, "B");
    EXPECT_EQ(B.ModalResult(), Case.Expected) << Case.Text;
    EXPECT_TRUE(B.Default());
    EXPECT_TRUE(B.Cancel());
  }
}

TEST(ButtonLayoutTest, AnUnknownModalResultNamesTheFileTheButtonAndTheProperty) {
  TApplication App(std::make_unique<THeadlessScreen>(640, 480));
  TFormPtr<TForm> Form = NewForm<TForm>();
  try {
    LoadLayout(*Form, R"({"controls": [{"class": "TButton", "name": "B", "ModalResult": "mrMaybe"}]})",
               "button.layout.json");
    FAIL() << "an unknown modal result was accepted";
  } catch (const ELayoutError& E) {
    const std::string Message = E.what();
    EXPECT_NE(Message.find("button.layout.json"), std::string::npos) << Message;
    EXPECT_NE(Message.find("B"), std::string::npos) << Message;
    EXPECT_NE(Message.find("ModalResult"), std::string::npos) << Message;
  }
}

}  // namespace
