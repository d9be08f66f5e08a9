// The main menu in the real program, driven like a player would: what each hot spot and each
// level code chooses, the highlight under the mouse, the credits page and the ways back from it,
// the cheat code and its notice, the version label, and a picture that is missing or damaged.
#include "e2e/MainMenuScreen.h"
#include "e2e/MenuHarness.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Bright colours that a 16-bit screen shows unchanged (green 0xFE, not 0xFF, is one of its
// steps). None of them is black, white, navy or silver, the colours of the version label, the
// cheat notice and the error box, so that whatever of those shows can be told from the pictures.
constexpr TMenuPictures Pictures{
    .Menu1 = TRgb{0x00FE00},
    .Menu2 = TRgb{0xFFFE00},
    .Credits1 = TRgb{0xFF00FF},
    .Credits2 = TRgb{0x00FEFF},
};
constexpr TRgb White{0xFFFFFF};
constexpr TRgb Navy{0x000080};
constexpr TRgb Silver{0xC0C0C0};

// The hot spots of the menu view, and the credits page's OK.
constexpr TArea Moon1{29, 115, 114, 131};
constexpr TArea Moon2{187, 114, 113, 131};
constexpr TArea Moon3{341, 112, 114, 134};
constexpr TArea Moon4{489, 112, 117, 133};
constexpr TArea Options{230, 296, 182, 25};
constexpr TArea Credits{230, 322, 181, 25};
constexpr TArea Exit{231, 347, 179, 25};
constexpr TArea CreditsOk{244, 416, 149, 24};

// The cheat notice: a black box with a white label in it.
constexpr TArea CheatBox{543, 425, 92, 25};
constexpr TSpot CheatLabelInside{543 + 7 + 1, 425 + 5 + 1};
constexpr TSpot CheatBoxInside{543 + 1, 425 + 1};
// Where the label's text lies: "Cheat Enabled!" written from the label's left edge.
constexpr TArea CheatText{543 + 7, 425 + 5, 60, 13};

// A spot of the menu view that no control covers.
constexpr TSpot Bare{20, 20};

const std::string EarlierChoice = "[Dustrover97]\nAction=9\n";

void Click(const TMenuRun& Menu, TSpot Spot) { Menu.Click(Spot.X, Spot.Y); }
void MoveMouse(const TMenuRun& Menu, TSpot Spot) { Menu.MoveMouse(Spot.X, Spot.Y); }

bool IsRunning(TMenuRun& Menu) { return Menu.WaitForExit(0ms) == TExitStatus::Running(); }

// Starts the menu with the test pictures and Profile (none when empty) and waits until the menu
// view shows.
void StartOnTheMenu(TMenuRun& Menu, const std::string& Profile = "") {
  Menu.WriteSolidPictures(Pictures);
  if (!Profile.empty()) Menu.WriteProfile(Profile);
  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  ASSERT_TRUE(WaitForColour(Menu, Bare, Pictures.Menu1));
}

// The menu still runs and answers the mouse: the highlight follows it onto Options and away
// again. A program on its way out could still show what it drew last.
void ExpectAnswering(TMenuRun& Menu, const char* After) {
  MoveMouse(Menu, Options.Centre());
  EXPECT_TRUE(WaitForColour(Menu, Options.Centre(), Pictures.Menu2)) << "no answer to the mouse after " << After;
  MoveMouse(Menu, Bare);
  EXPECT_TRUE(WaitForColour(Menu, Options.Centre(), Pictures.Menu1)) << "no answer to the mouse after " << After;
  EXPECT_TRUE(IsRunning(Menu)) << After << " ended the program";
}

// The notice shown over the menu picture: black box, white label with dark text, nothing of it
// outside the box.
void ExpectCheatNotice(const TScreenImage& Screen) {
  ExpectScreen(Screen, {
                           {"label background", CheatLabelInside, White},
                           {"box inside its edge", CheatBoxInside, Black},
                           {"box's top-left pixel", CheatBox.TopLeft(), Black},
                           {"box's bottom-right pixel", CheatBox.BottomRight(), Black},
                           {"left of the box", CheatBox.LeftOf(), Pictures.Menu1},
                           {"right of the box", CheatBox.RightOf(), Pictures.Menu1},
                           {"above the box", CheatBox.Above(), Pictures.Menu1},
                           {"below the box", CheatBox.Below(), Pictures.Menu1},
                       });
  EXPECT_GT(CountPixels(Screen, CheatText, [](TRgb Seen) { return ShowsAs(Seen, Black); }), 0)
      << "no text on the label";
}

TEST(MainMenuColoursTest, TestColoursShowUnchangedAndApartFromTheMenusOwnColours) {
  const TRgb PictureColours[] = {Pictures.Menu1, Pictures.Menu2, Pictures.Credits1, Pictures.Credits2};
  const TRgb OwnColours[] = {Black, White, Navy, Silver};
  for (const TRgb& Colour : PictureColours) {
    EXPECT_TRUE(ShowsUnchangedIn16Bit(Colour)) << ::testing::PrintToString(Colour);
    for (const TRgb& Other : PictureColours) {
      if (&Other != &Colour) {
        EXPECT_NE(Colour, Other);
      }
    }
    for (const TRgb& Own : OwnColours) EXPECT_FALSE(ShowsAs(Colour, Own)) << ::testing::PrintToString(Colour);
  }
}

// ---- Choices: each ends the run with its result written over the earlier one ----------------

struct TChoice {
  const char* Name;
  std::function<void(const TMenuRun&)> Make;
  const char* Result;
};

void PrintTo(const TChoice& Choice, std::ostream* Out) { *Out << Choice.Name; }

TChoice ClickOn(const char* Name, TArea Area, const char* Result) {
  return {Name, [Area](const TMenuRun& Menu) { Click(Menu, Area.Centre()); }, Result};
}

TChoice TypeCode(const char* Name, std::string Code, const char* Result) {
  return {Name, [Code](const TMenuRun& Menu) { Menu.Type(Code); }, Result};
}

class TMainMenuChoiceTest : public ::testing::TestWithParam<TChoice> {};

TEST_P(TMainMenuChoiceTest, EndsWithExitCodeZeroAndWritesTheResultOverTheEarlierOne) {
  const TChoice& Choice = GetParam();
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  ASSERT_NO_FATAL_FAILURE(StartOnTheMenu(Menu, EarlierChoice));
  ASSERT_EQ(Menu.ProfileText(), EarlierChoice) << "nothing is written before the choice";

  Choice.Make(Menu);

  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileText(), std::string("[Dustrover97]\nAction=") + Choice.Result + "\n");
}

INSTANTIATE_TEST_SUITE_P(MainMenuChoices, TMainMenuChoiceTest,
                         ::testing::Values(ClickOn("Moon1", Moon1, "1"), ClickOn("Moon2", Moon2, "2"),
                                           ClickOn("Moon3", Moon3, "3"), ClickOn("Moon4", Moon4, "4"),
                                           ClickOn("Exit", Exit, "0"), TypeCode("Kexlip5", "kexlip5", "5"),
                                           TypeCode("Kexlip6", "kexlip6", "6")),
                         [](const ::testing::TestParamInfo<TChoice>& Info) { return std::string(Info.param.Name); });

// ---- Hover -------------------------------------------------------------------------------------

TEST(MainMenuHoverTest, OptionsHighlightsExactlyItsRectangleAndGivesTheHighlightUpToCreditsBelow) {
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  ASSERT_NO_FATAL_FAILURE(StartOnTheMenu(Menu));
  const TRgb Normal = Pictures.Menu1, Highlighted = Pictures.Menu2;

  MoveMouse(Menu, Options.Centre());
  ASSERT_TRUE(WaitForColour(Menu, Options.Centre(), Highlighted));
  {
    SCOPED_TRACE("the mouse over Options");
    const TScreenImage Screen = Menu.Screenshot();
    ExpectScreen(Screen, CornersInside(Options, Highlighted));
    ExpectScreen(Screen, CornersOutside(Options, Normal));
    ExpectScreen(Screen, CornersInside(Credits, Normal));
  }

  // Straight from one button onto its neighbour, without passing a spot outside both.
  MoveMouse(Menu, Credits.Centre());
  ASSERT_TRUE(WaitForColour(Menu, Credits.Centre(), Highlighted));
  ASSERT_TRUE(WaitForColour(Menu, Options.Centre(), Normal));
  {
    SCOPED_TRACE("the mouse moved on to Credits");
    const TScreenImage Screen = Menu.Screenshot();
    ExpectScreen(Screen, CornersInside(Options, Normal));
    ExpectScreen(Screen, CornersInside(Credits, Highlighted));
    ExpectScreen(Screen, CornersOutside(Credits, Normal));
  }
}

// ---- Credits -----------------------------------------------------------------------------------

TEST(MainMenuCreditsTest, CreditsComeBackToTheMenuByOkAndByEscapeAndEscapeOnTheMenuEnds) {
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  ASSERT_NO_FATAL_FAILURE(StartOnTheMenu(Menu, EarlierChoice));

  Click(Menu, Credits.Centre());
  ASSERT_TRUE(WaitForColour(Menu, Bare, Pictures.Credits1)) << "no credits after Credits";
  // The menu's hot spots are gone with its view: the spot of Credits is plain credits page.
  EXPECT_EQ(Menu.Pixel(Credits.Centre().X, Credits.Centre().Y), Pictures.Credits1);

  Click(Menu, CreditsOk.Centre());
  ASSERT_TRUE(WaitForColour(Menu, Bare, Pictures.Menu1)) << "no menu after OK";
  ExpectAnswering(Menu, "OK");

  Click(Menu, Credits.Centre());
  ASSERT_TRUE(WaitForColour(Menu, Bare, Pictures.Credits1)) << "no credits the second time";
  Menu.Key("Escape");
  ASSERT_TRUE(WaitForColour(Menu, Bare, Pictures.Menu1)) << "no menu after Escape on the credits";
  ExpectAnswering(Menu, "Escape on the credits page");
  EXPECT_EQ(Menu.ProfileText(), EarlierChoice);

  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileValue("Action"), "0");
}

// ---- The cheat notice --------------------------------------------------------------------------

TEST(MainMenuCheatTest, TypedCheatCodeStoresTheFlagShowsTheNoticeAndTheMenuGoesOn) {
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  ASSERT_NO_FATAL_FAILURE(StartOnTheMenu(Menu, EarlierChoice));
  ExpectScreen(Menu.Screenshot(), {
                                      {"label background before the code", CheatLabelInside, Pictures.Menu1},
                                      {"box before the code", CheatBoxInside, Pictures.Menu1},
                                  });

  Menu.Type("quirbalent");

  ASSERT_TRUE(WaitForColour(Menu, CheatLabelInside, White)) << "no notice";
  ExpectCheatNotice(Menu.Screenshot());
  EXPECT_TRUE(WaitUntil([&] { return Menu.ProfileValue("QuirBalent") == "1"; }, 10s)) << Menu.ProfileText();
  ExpectAnswering(Menu, "the cheat code");

  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileValue("Action"), "0");
  EXPECT_EQ(Menu.ProfileValue("QuirBalent"), "1");
}

TEST(MainMenuCheatTest, StoredCheatFlagShowsTheNoticeAtStart) {
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  ASSERT_NO_FATAL_FAILURE(StartOnTheMenu(Menu, "[Dustrover97]\nQuirBalent=1\n"));

  ASSERT_TRUE(WaitForColour(Menu, CheatLabelInside, White)) << "no notice";
  ExpectCheatNotice(Menu.Screenshot());
}

// ---- The version label -------------------------------------------------------------------------

// One run of the menu with Profile; what its version label looks like.
TVersionLabel ShowVersionLabel(const TXvfbServer& Server, const std::string& Profile) {
  TMenuRun Menu(Server.Display());
  StartOnTheMenu(Menu, Profile);
  if (::testing::Test::HasFatalFailure()) return {};
  TVersionLabel Label;
  // The label is drawn with the menu; wait for its first white pixel all the same.
  EXPECT_TRUE(WaitUntil(
      [&] {
        Label = ReadVersionLabel(Menu.Screenshot(), Pictures.Menu1);
        return Label.RightmostWhite >= 0;
      },
      30s))
      << "no white in the version label";
  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  return Label;
}

void ExpectWhiteOnBlackFrom602(const TVersionLabel& Label) {
  EXPECT_TRUE(Label.StartsAt602And459) << "the label does not start at 602,459";
  EXPECT_GT(Label.Right, 602) << "no label at 602,459";
  EXPECT_GE(Label.RightmostWhite, 602) << "no white text";
  EXPECT_GT(Label.BlackPixels, 0) << "no black background";
  EXPECT_EQ(Label.OtherPixels, 0) << "a colour other than white and black, e.g. " << ::testing::PrintToString(Label.Other);
}

TEST(MainMenuVersionTest, LabelIsWhiteOnBlackAtItsPlaceAndGrowsToTheRightWithTheStoredText) {
  // One server for the three runs: each run ends before the next one starts.
  TXvfbServer Server;
  struct TVersionRun {
    const char* Profile;
    TVersionLabel Label;
  };
  TVersionRun Runs[] = {
      {"[Dustrover97]\nAction=9\n", {}},  // none stored: "v1.0"
      {"[Dustrover97]\nOkExeVersion=2.5.7\n", {}},
      {"[Dustrover97]\nOkExeVersion=1.0 beta build 1234\n", {}},
  };
  for (TVersionRun& Run : Runs) {
    SCOPED_TRACE(Run.Profile);
    ASSERT_NO_FATAL_FAILURE(Run.Label = ShowVersionLabel(Server, Run.Profile));
    ExpectWhiteOnBlackFrom602(Run.Label);
  }
  // "v1.0", "v2.5.7", "v1.0 beta build 1234": each text longer than the one before.
  EXPECT_LT(Runs[0].Label.RightmostWhite, Runs[1].Label.RightmostWhite);
  EXPECT_LT(Runs[1].Label.RightmostWhite, Runs[2].Label.RightmostWhite);
  EXPECT_LT(Runs[0].Label.Right, Runs[1].Label.Right);
}

// ---- Pictures that cannot be read --------------------------------------------------------------

struct TBrokenPicture {
  const char* Name;
  std::function<void(const TMenuRun&)> Break;
  // What the screen's centre shows once the error box is closed: the menu picture, or the
  // window's black when none was read.
  TRgb CentreAfter;
};

void PrintTo(const TBrokenPicture& Broken, std::ostream* Out) { *Out << Broken.Name; }

class TMainMenuBrokenPictureTest : public ::testing::TestWithParam<TBrokenPicture> {};

TEST_P(TMainMenuBrokenPictureTest, ShowsTheErrorBoxAndTheMenuGoesOnAfterEnter) {
  const TBrokenPicture& Broken = GetParam();
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures(Pictures);
  Broken.Break(Menu);
  Menu.WriteProfile(EarlierChoice);
  ASSERT_TRUE(Menu.StartAndWaitForWindow());

  TDialogSeen Box;
  ASSERT_TRUE(WaitUntil(
      [&] {
        Box = FindDialog(Menu.Screenshot());
        return Box.Shown();
      },
      30s))
      << "no error box; caption pixels " << Box.CaptionPixels << ", face pixels " << Box.FacePixels;
  EXPECT_TRUE(Box.CentredOnScreen) << "the caption bar spans " << Box.CaptionLeft << " to " << Box.CaptionRight
                                   << " on a screen " << Box.ScreenWidth << " wide";
  EXPECT_TRUE(IsRunning(Menu));

  Menu.Key("Return");
  EXPECT_TRUE(WaitUntil(
      [&] {
        Box = FindDialog(Menu.Screenshot());
        return Box.CaptionPixels == 0 && Box.FacePixels == 0;
      },
      30s))
      << "the error box stays; caption pixels " << Box.CaptionPixels << ", face pixels " << Box.FacePixels;
  EXPECT_TRUE(WaitForColour(Menu, {320, 240}, Broken.CentreAfter)) << "what the box covered is not back";
  EXPECT_TRUE(IsRunning(Menu)) << "closing the error box ended the program";

  // The failed activation never came to hiding the credits view, which lies under the menu
  // view: the first Escape takes it away, with nothing to see, and the menu goes on. The cheat
  // code typed after it shows when both were handled.
  Menu.Key("Escape");
  Menu.Type("quirbalent");
  ASSERT_TRUE(WaitForColour(Menu, CheatLabelInside, White)) << "no notice after the first Escape";
  EXPECT_TRUE(IsRunning(Menu)) << "the first Escape after the error box ended the program";

  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileValue("Action"), "0");
}

INSTANTIATE_TEST_SUITE_P(
    MainMenuBrokenPictures, TMainMenuBrokenPictureTest,
    ::testing::Values(TBrokenPicture{"HighlightedMenuMissing",
                                     [](const TMenuRun& Menu) {
                                       std::filesystem::remove(Menu.ProgramFolder() / "menu2.bmp");
                                     },
                                     Pictures.Menu1},
                      TBrokenPicture{"MenuDamaged",
                                     [](const TMenuRun& Menu) {
                                       std::string Garbage = "BM";
                                       for (int I = 2; I < 100; ++I) Garbage += static_cast<char>(I * 37 + 11);
                                       Menu.WriteFile("menu1.bmp", Garbage);
                                     },
                                     Black}),
    [](const ::testing::TestParamInfo<TBrokenPicture>& Info) { return std::string(Info.param.Name); });

}  // namespace
