// The options dialog in the real program: opened from the menu, a switch toggled by a click,
// closed in each of its four ways with the profile checked after each; keys typed while it is
// open stay in it; the menu comes back, its pictures read again, when it closes.
#include "e2e/MenuHarness.h"
#include "e2e/Rgb565.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

// Where the dialog lies on the 640x480 screen: 274x167 client pixels in a 3-pixel dialog frame
// under an 18-pixel caption bar, centred.
constexpr int Frame = 3, CaptionBar = 18;
constexpr int DialogWidth = 274 + 2 * Frame, DialogHeight = 167 + 2 * Frame + CaptionBar;
constexpr int DialogLeft = (640 - DialogWidth) / 2, DialogTop = (480 - DialogHeight) / 2;
constexpr int ClientLeft = DialogLeft + Frame, ClientTop = DialogTop + Frame + CaptionBar;

// A point in the dialog's client area.
struct TSpot {
  int X;
  int Y;
};
constexpr TSpot InClient(int X, int Y) { return {ClientLeft + X, ClientTop + Y}; }

// The check boxes lie in the group box at 8,8; each 13x13 box is centred in the box's 17-pixel
// height. Its middle is in the check mark; two pixels in from its corner it is always white.
constexpr TSpot SoundBoxMiddle = InClient(8 + 24 + 6, 8 + 32 + 2 + 6);
constexpr TSpot SoundBoxInside = InClient(8 + 24 + 2, 8 + 32 + 2 + 2);
constexpr TSpot CDBoxMiddle = InClient(8 + 24 + 6, 8 + 56 + 2 + 6);
constexpr TSpot OkMiddle = InClient(112 + 37, 136 + 12);
constexpr TSpot CancelMiddle = InClient(192 + 37, 136 + 12);
constexpr TSpot CloseBoxMiddle{DialogLeft + DialogWidth - Frame - 2 - 8, DialogTop + Frame + 2 + 7};
// A spot of the dialog that lies over no hot spot of the menu, so that after the dialog it shows
// the menu picture whatever the mouse rests on.
constexpr TSpot DialogOverNoHotSpot = InClient(2, 150);
// OptionsButton: left 230, top 296, width 182, height 25.
constexpr TSpot OptionsButtonMiddle{230 + 91, 296 + 12};

// The menu picture written while the dialog is open; the menu shows it only after reading its
// pictures again.
constexpr TRgb ReloadedMenu{0x830083};

// White comes through the 16-bit screen a shade off in green, so it is told by its brightness.
bool IsWhite(TRgb Colour) { return Colour.Red() >= 0xF0 && Colour.Green() >= 0xF0 && Colour.Blue() >= 0xF0; }
bool IsBlack(TRgb Colour) { return Colour == Black; }
bool IsReloadedMenu(TRgb Colour) { return Colour == ReloadedMenu; }

// Waits until the pixel at Spot is what Wanted accepts; a failure names the colour seen last.
testing::AssertionResult PixelBecomes(const TMenuRun& Menu, TSpot Spot, bool (*Wanted)(TRgb)) {
  TRgb Seen;
  if (WaitUntil([&] { return Wanted(Seen = Menu.Pixel(Spot.X, Spot.Y)); }, std::chrono::seconds(30)))
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "pixel " << Spot.X << "," << Spot.Y << " is " << testing::PrintToString(Seen);
}

const std::string OtherSection = "; shared with other programs\n[Other]\nKey=x\n\n";
const std::string ProfileBefore = OtherSection + "[Dustrover97]\nSoundSwitch=1\nCDMusicSwitch=2\n";

// One run: which box is toggled, how the dialog is closed, and what the switches are after.
struct TOptionsRun {
  const char* Name;
  bool ToggleSound;
  std::function<void(TMenuRun&)> Close;
  // Nothing: the profile stays exactly as it was.
  std::optional<std::string> SoundAfter, CDAfter;
};

void PrintTo(const TOptionsRun& Run, std::ostream* Out) { *Out << Run.Name; }

class TOptionsDialogTest : public ::testing::TestWithParam<TOptionsRun> {};

TEST_P(TOptionsDialogTest, ShowsStoresOrLeavesTheSwitchesAndGivesTheMenuBack) {
  const TOptionsRun& Run = GetParam();
  ASSERT_TRUE(ShowsUnchangedIn16Bit(ReloadedMenu));
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures();
  Menu.WriteProfile(ProfileBefore);
  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  ASSERT_EQ(Menu.WaitForPixel(10, 10, PlainPictures.Menu1), PlainPictures.Menu1);
  ASSERT_EQ(Menu.ScreenMode(), "640x480");

  Menu.Click(OptionsButtonMiddle.X, OptionsButtonMiddle.Y);
  ASSERT_TRUE(PixelBecomes(Menu, SoundBoxInside, IsWhite)) << "no dialog";
  // SoundSwitch 1 shows checked, CDMusicSwitch 2 unchecked.
  EXPECT_TRUE(IsBlack(Menu.Pixel(SoundBoxMiddle.X, SoundBoxMiddle.Y)));
  EXPECT_TRUE(IsWhite(Menu.Pixel(CDBoxMiddle.X, CDBoxMiddle.Y)));

  // A level code and Escape go to the dialog, not to the menu: the menu does not end and the
  // dialog stays open, as the toggle after them shows.
  Menu.Type("kexlip5");
  Menu.Key("Escape");
  Menu.WriteFile("menu1.bmp", SolidBmp(ReloadedMenu));
  const TSpot Toggled = Run.ToggleSound ? SoundBoxMiddle : CDBoxMiddle;
  Menu.Click(Toggled.X, Toggled.Y);
  ASSERT_TRUE(PixelBecomes(Menu, Toggled, Run.ToggleSound ? IsWhite : IsBlack));
  ASSERT_EQ(Menu.WaitForExit(std::chrono::milliseconds(0)), TExitStatus::Running());

  Run.Close(Menu);
  // The menu is active again: its pictures are read anew and the menu view shows.
  EXPECT_TRUE(PixelBecomes(Menu, DialogOverNoHotSpot, IsReloadedMenu));
  EXPECT_TRUE(PixelBecomes(Menu, {10, 10}, IsReloadedMenu));
  if (Run.SoundAfter) {
    EXPECT_EQ(Menu.ProfileValue("SoundSwitch"), Run.SoundAfter);
    EXPECT_EQ(Menu.ProfileValue("CDMusicSwitch"), Run.CDAfter);
    EXPECT_EQ(Menu.ProfileText().rfind(OtherSection, 0), 0u) << Menu.ProfileText();
  } else {
    EXPECT_EQ(Menu.ProfileText(), ProfileBefore);
  }

  // The menu takes keys again: Escape ends it, with 0 and not the level typed in the dialog.
  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileValue("Action"), "0");
}

INSTANTIATE_TEST_SUITE_P(
    Closes, TOptionsDialogTest,
    ::testing::Values(
        TOptionsRun{"ConfirmedWithEnter", true, [](TMenuRun& Menu) { Menu.Key("Return"); }, "0", "0"},
        TOptionsRun{"ConfirmedWithOk", false, [](TMenuRun& Menu) { Menu.Click(OkMiddle.X, OkMiddle.Y); }, "1", "1"},
        TOptionsRun{"CancelledWithCancel", true,
                    [](TMenuRun& Menu) { Menu.Click(CancelMiddle.X, CancelMiddle.Y); }, std::nullopt, std::nullopt},
        TOptionsRun{"CancelledWithTheCloseBox", false,
                    [](TMenuRun& Menu) { Menu.Click(CloseBoxMiddle.X, CloseBoxMiddle.Y); }, std::nullopt,
                    std::nullopt}),
    [](const ::testing::TestParamInfo<TOptionsRun>& Info) { return std::string(Info.param.Name); });

}  // namespace
