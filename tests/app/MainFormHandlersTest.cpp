// The main window's handlers: the hot spots that end the menu, the credits page and the way
// back, Escape, the version label and the cheat notice.
#include "MenuTestSupport.h"

namespace MenuTest {
namespace {

using MainFormHandlers = TMenuTest;

struct THotSpotCase {
  const char* Name;
  MatButton* TMainForm::*Button;
  int32_t Result;
};

class MainFormHotSpot : public TMenuTest, public ::testing::WithParamInterface<THotSpotCase> {};

TEST_P(MainFormHotSpot, PressWritesItsResultOverTheEarlierOneAndEndsTheRun) {
  const THotSpotCase& Case = GetParam();
  SetProfileValue(ActionKey, "6");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    ClickCentreOf(*(Form.*Case.Button), Menu.Headless());
  });
  Menu.Run();
  EXPECT_FALSE(Menu.ReachedEndOfScript()) << "the press ends the run";
  EXPECT_EQ(Form.MenuAction(), Case.Result);
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), std::to_string(Case.Result));
}

INSTANTIATE_TEST_SUITE_P(Buttons, MainFormHotSpot,
                         ::testing::Values(THotSpotCase{"Moon1", &TMainForm::Moon1Button, 1},
                                           THotSpotCase{"Moon2", &TMainForm::Moon2Button, 2},
                                           THotSpotCase{"Moon3", &TMainForm::Moon3Button, 3},
                                           THotSpotCase{"Moon4", &TMainForm::Moon4Button, 4},
                                           THotSpotCase{"Exit", &TMainForm::ExitButton, 0}),
                         [](const ::testing::TestParamInfo<THotSpotCase>& Info) { return std::string(Info.param.Name); });

// Presses at the edges of the hot spots: right and bottom edges are exclusive.
struct TEdgePressCase {
  const char* Name;
  TPoint At;
  std::optional<int32_t> EndsWith;  // nothing: the press lands on the picture and the menu goes on
};

class MainFormEdgePress : public TMenuTest, public ::testing::WithParamInterface<TEdgePressCase> {};

TEST_P(MainFormEdgePress, PressCountsOnlyInsideTheHotSpot) {
  const TEdgePressCase& Case = GetParam();
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] { Menu.Headless().Click(Case.At.X, Case.At.Y); });
  Menu.Run();
  EXPECT_EQ(Menu.ReachedEndOfScript(), !Case.EndsWith.has_value());
  EXPECT_EQ(Form.MenuAction(), Case.EndsWith.value_or(0));
}

INSTANTIATE_TEST_SUITE_P(
    Points, MainFormEdgePress,
    ::testing::Values(TEdgePressCase{"Moon1TopLeft", {29, 115}, 1}, TEdgePressCase{"Moon1BottomRight", {142, 245}, 1},
                      TEdgePressCase{"Moon1LeftOutside", {28, 180}, std::nullopt},
                      TEdgePressCase{"Moon1AboveOutside", {80, 114}, std::nullopt},
                      TEdgePressCase{"Moon1RightOutside", {143, 180}, std::nullopt},
                      TEdgePressCase{"Moon1BelowOutside", {80, 246}, std::nullopt},
                      TEdgePressCase{"Moon2TopLeft", {187, 114}, 2}, TEdgePressCase{"Moon2BottomRight", {299, 244}, 2},
                      TEdgePressCase{"Moon2RightOutside", {300, 180}, std::nullopt},
                      TEdgePressCase{"Moon3TopLeft", {341, 112}, 3}, TEdgePressCase{"Moon3BottomRight", {454, 245}, 3},
                      TEdgePressCase{"Moon3LeftOutside", {340, 180}, std::nullopt},
                      TEdgePressCase{"Moon4TopRight", {605, 112}, 4}, TEdgePressCase{"Moon4BottomLeft", {489, 244}, 4},
                      TEdgePressCase{"Moon4RightOutside", {606, 200}, std::nullopt},
                      TEdgePressCase{"Moon4BelowOutside", {489, 245}, std::nullopt},
                      TEdgePressCase{"ExitTopLeft", {231, 347}, 0}, TEdgePressCase{"ExitBottomRight", {409, 371}, 0},
                      TEdgePressCase{"ExitLeftOutside", {230, 360}, std::nullopt},
                      TEdgePressCase{"ExitRightOutside", {410, 360}, std::nullopt},
                      TEdgePressCase{"ExitBelowOutside", {300, 372}, std::nullopt}),
    [](const ::testing::TestParamInfo<TEdgePressCase>& Info) { return std::string(Info.param.Name); });

// The highlighted picture shows exactly over the hot spot under the mouse, on either view.
struct THighlightCase {
  const char* Name;
  MatButton* TMainForm::*Button;
  bool OnCredits;
};

class MainFormHighlight : public TMenuTest, public ::testing::WithParamInterface<THighlightCase> {};

TEST_P(MainFormHighlight, HighlightCoversExactlyTheHotSpot) {
  const THighlightCase& Case = GetParam();
  const uint32_t Normal = Case.OnCredits ? Credits1Colour : Menu1Colour;
  const uint32_t Lit = Case.OnCredits ? Credits2Colour : Menu2Colour;
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  if (Case.OnCredits) Menu.AtIdle([&] { ClickCentreOf(*Form.CreditsButton, Headless); });
  Menu.AtIdle([&] {
    const TPoint Centre = CentreOf(*(Form.*Case.Button));
    Headless.MouseMove(Centre.X, Centre.Y);
  });
  Menu.AtIdle([&] {
    const TRect R = (Form.*Case.Button)->ScreenRect();
    for (const TPoint Inside : {TPoint{R.Left, R.Top}, TPoint{R.Right - 1, R.Top}, TPoint{R.Left, R.Bottom - 1},
                                TPoint{R.Right - 1, R.Bottom - 1}})
      EXPECT_EQ(Headless.Pixel(Inside.X, Inside.Y), Lit) << Inside.X << "," << Inside.Y;
    for (const TPoint Outside : {TPoint{R.Left - 1, R.Top}, TPoint{R.Left, R.Top - 1}, TPoint{R.Right, R.Bottom - 1},
                                 TPoint{R.Right - 1, R.Bottom}})
      EXPECT_EQ(Headless.Pixel(Outside.X, Outside.Y), Normal) << Outside.X << "," << Outside.Y;
    const TPoint Away{R.Right + 1, R.Bottom + 1};
    Headless.MouseMove(Away.X, Away.Y);
  });
  Menu.AtIdle([&] {
    const TRect R = (Form.*Case.Button)->ScreenRect();
    EXPECT_EQ(Headless.Pixel(R.Left, R.Top), Normal) << "the highlight goes when the mouse leaves";
    EXPECT_EQ(Headless.Pixel(R.Right - 1, R.Bottom - 1), Normal);
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Buttons, MainFormHighlight,
                         ::testing::Values(THighlightCase{"Moon1", &TMainForm::Moon1Button, false},
                                           THighlightCase{"Moon2", &TMainForm::Moon2Button, false},
                                           THighlightCase{"Moon3", &TMainForm::Moon3Button, false},
                                           THighlightCase{"Moon4", &TMainForm::Moon4Button, false},
                                           THighlightCase{"Options", &TMainForm::OptionsButton, false},
                                           THighlightCase{"Credits", &TMainForm::CreditsButton, false},
                                           THighlightCase{"Exit", &TMainForm::ExitButton, false},
                                           THighlightCase{"Ok", &TMainForm::OkButton, true}),
                         [](const ::testing::TestParamInfo<THighlightCase>& Info) { return std::string(Info.param.Name); });

bool ShowsMenuView(const TMainForm& Form) { return Form.MatContainer1->Visible() && !Form.credits->Visible(); }
bool ShowsCreditsView(const TMainForm& Form) { return Form.credits->Visible() && !Form.MatContainer1->Visible(); }

enum class TWayBack { OkButton, Escape };

class MainFormCredits : public TMenuTest, public ::testing::WithParamInterface<TWayBack> {};

TEST_P(MainFormCredits, CreditsPageAndBackToTheMenuWithoutEndingIt) {
  SetProfileValue(ActionKey, "6");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  Menu.AtIdle([&] {
    EXPECT_TRUE(ShowsMenuView(Form));
    ClickCentreOf(*Form.CreditsButton, Headless);
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(ShowsCreditsView(Form));
    EXPECT_EQ(Headless.Pixel(20, 20), Credits1Colour);
    const TPoint Ok = CentreOf(*Form.OkButton);
    EXPECT_EQ(Ok, (TPoint{244 + 149 / 2, 416 + 24 / 2}));
    Headless.MouseMove(Ok.X, Ok.Y);
  });
  Menu.AtIdle([&] {
    const TPoint Ok = CentreOf(*Form.OkButton);
    EXPECT_EQ(Headless.Pixel(Ok.X, Ok.Y), Credits2Colour) << "the OK hot spot lights up under the mouse";
    if (GetParam() == TWayBack::OkButton) Headless.Click(Ok.X, Ok.Y);
    else Headless.Type(std::string(1, Escape));
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(ShowsMenuView(Form));
    EXPECT_EQ(Headless.Pixel(20, 20), Menu1Colour);
    EXPECT_EQ(Form.MenuAction(), 0);
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u) << "the menu was still running after the way back";
  EXPECT_TRUE(Menu.ReachedEndOfScript());
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), "0");
}

INSTANTIATE_TEST_SUITE_P(WaysBack, MainFormCredits, ::testing::Values(TWayBack::OkButton, TWayBack::Escape),
                         [](const ::testing::TestParamInfo<TWayBack>& Info) {
                           return std::string(Info.param == TWayBack::OkButton ? "OkButton" : "Escape");
                         });

TEST_F(MainFormHandlers, HotSpotsOfTheHiddenViewAndOtherButtonsDoNothing) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  Menu.AtIdle([&] { ClickCentreOf(*Form.CreditsButton, Headless); });
  Menu.AtIdle([&] {
    ASSERT_TRUE(ShowsCreditsView(Form));
    for (const MatButton* Hidden : {Form.Moon1Button, Form.Moon4Button, Form.ExitButton, Form.OptionsButton})
      ClickCentreOf(*Hidden, Headless);
    const TPoint Ok = CentreOf(*Form.OkButton);
    Headless.Click(Ok.X, Ok.Y, TMouseButton::Right);
    Headless.Click(Ok.X, Ok.Y, TMouseButton::Middle);
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(ShowsCreditsView(Form));
    EXPECT_EQ(Screen->Forms().size(), 1u) << "no dialog was opened";
    ClickCentreOf(*Form.OkButton, Headless);
  });
  Menu.AtIdle([&] {
    ASSERT_TRUE(ShowsMenuView(Form));
    ClickCentreOf(*Form.OkButton, Headless);  // lies hidden under the menu
    const TPoint Moon = CentreOf(*Form.Moon1Button);
    Headless.Click(Moon.X, Moon.Y, TMouseButton::Right);
    Headless.MouseDown(Moon.X, Moon.Y, TMouseButton::Middle);
    Headless.MouseUp(Moon.X, Moon.Y, TMouseButton::Middle);
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(ShowsMenuView(Form));
    EXPECT_EQ(Form.MenuAction(), 0);
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u) << "a press ended the menu";
}

TEST_F(MainFormHandlers, HoverFollowsAViewSwitchUnderTheRestingMouse) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  const TPoint Credits = CentreOf(*Form.CreditsButton);
  Menu.AtIdle([&] { Headless.Click(Credits.X, Credits.Y); });
  Menu.AtIdle([&] {
    ASSERT_TRUE(ShowsCreditsView(Form));
    EXPECT_FALSE(Form.CreditsButton->MouseInside());
    EXPECT_EQ(Headless.Pixel(Credits.X, Credits.Y), Credits1Colour);
    Headless.Type(std::string(1, Escape));
  });
  Menu.AtIdle([&] {
    ASSERT_TRUE(ShowsMenuView(Form));
    EXPECT_TRUE(Form.CreditsButton->MouseInside());
    EXPECT_EQ(Headless.Pixel(Credits.X, Credits.Y), Menu2Colour) << "the button under the mouse lights up again";
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

TEST_F(MainFormHandlers, EscapeOnTheMenuEndsTheRunWithZero) {
  SetProfileValue(ActionKey, "6");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] { Menu.Headless().Type(std::string(1, Escape)); });
  Menu.Run();
  EXPECT_FALSE(Menu.ReachedEndOfScript()) << "Escape ends the run";
  EXPECT_EQ(Form.MenuAction(), 0);
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), "0");
}

TEST_F(MainFormHandlers, SecondEscapeAfterTheCreditsPageEndsTheRun) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    ClickCentreOf(*Form.CreditsButton, Menu.Headless());
    Menu.Headless().Type(std::string(2, Escape));
  });
  Menu.Run();
  EXPECT_FALSE(Menu.ReachedEndOfScript());
  EXPECT_TRUE(ShowsMenuView(Form));
  EXPECT_EQ(Form.MenuAction(), 0);
}

struct TVersionCase {
  const char* Name;
  std::optional<std::string> Stored;
  std::string Caption;
  bool ReachesRightEdge;  // the label then covers the picture up to the screen's right edge
};

class MainFormVersion : public TMenuTest, public ::testing::WithParamInterface<TVersionCase> {};

TEST_P(MainFormVersion, LabelShowsTheStoredTextAfterAVAndGrowsToTheRight) {
  const TVersionCase& Case = GetParam();
  if (Case.Stored) SetProfileValue(OkExeVersionKey, Case.Stored->c_str());
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    const TLabel& Label = *Form.VersionLabel;
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_EQ(Label.Caption(), Case.Caption);
    EXPECT_EQ(Label.Left(), 602);
    EXPECT_EQ(Label.Top(), 459);
    // Left of the label the menu picture shows, whatever the text.
    EXPECT_EQ(Menu.Headless().Pixel(601, 465), Menu1Colour);
    if (Case.Caption == "v1.0") {
      EXPECT_EQ(Label.Width(), 21);
      EXPECT_EQ(Label.Height(), 13);
    }
    EXPECT_EQ(Label.Left() + Label.Width() >= 640, Case.ReachesRightEdge) << Label.Width();
    EXPECT_EQ(Menu.Headless().Pixel(639, 465) != Menu1Colour, Case.ReachesRightEdge);
  });
  Menu.Run();
}

const std::string LongVersion(120, '7');
const std::string TooLongVersion = std::string(255, 'a') + "TAIL";

INSTANTIATE_TEST_SUITE_P(
    StoredVersions, MainFormVersion,
    ::testing::Values(TVersionCase{"Missing", std::nullopt, "v1.0", false},
                      TVersionCase{"Plain", "2.5b", "v2.5b", false}, TVersionCase{"Empty", "", "v", false},
                      TVersionCase{"Utf8", "\xce\xb2" "2", "v\xce\xb2" "2", false},
                      TVersionCase{"NotUtf8", "\xe9", "v\xe9", false},
                      TVersionCase{"InnerBlanksAndPunctuation", "1.0 final (build 7) !?", "v1.0 final (build 7) !?", true},
                      TVersionCase{"Long", LongVersion, "v" + LongVersion, true},
                      TVersionCase{"LongerThanTheReadBuffer", TooLongVersion, "v" + std::string(255, 'a'), true}),
    [](const ::testing::TestParamInfo<TVersionCase>& Info) { return std::string(Info.param.Name); });

struct TCheatFlagCase {
  const char* Name;
  std::optional<std::string> Stored;
  bool Shown;
};

class MainFormCheatFlag : public TMenuTest, public ::testing::WithParamInterface<TCheatFlagCase> {};

TEST_P(MainFormCheatFlag, StoredFlagOfOneShowsTheNoticeAtTheFirstActivation) {
  const TCheatFlagCase& Case = GetParam();
  if (Case.Stored) SetProfileValue(QuirBalentKey, Case.Stored->c_str());
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  EXPECT_FALSE(Form.CheatBox->Visible());
  Menu.AtIdle([&] {
    EXPECT_EQ(Form.CheatBox->Visible(), Case.Shown);
    // The notice's black panel covers the picture at its top-left corner.
    EXPECT_EQ(Menu.Headless().Pixel(544, 426), Case.Shown ? Black : Menu1Colour);
  });
  Menu.Run();
  EXPECT_EQ(ProfileValue(QuirBalentKey), Case.Stored) << "reading the flag never writes it";
}

INSTANTIATE_TEST_SUITE_P(StoredFlags, MainFormCheatFlag,
                         ::testing::Values(TCheatFlagCase{"One", "1", true}, TCheatFlagCase{"Two", "2", false},
                                           TCheatFlagCase{"Zero", "0", false}, TCheatFlagCase{"Missing", std::nullopt, false}),
                         [](const ::testing::TestParamInfo<TCheatFlagCase>& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace MenuTest
