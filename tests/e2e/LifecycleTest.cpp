// The program's start and every road out of it, on a real X server: what it shows when it
// starts, and that each way of ending it ends it in order with the result written.
#include "e2e/MenuHarness.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Another program's section and a comment around the menu's own, so that a result written
// over an earlier one also shows that nothing else in the file moved.
std::string ProfileWithAction(const std::string& Action) {
  return "; shared with other programs\n[Other]\nKey=x\n\n[Dustrover97]\nAction=" + Action + "\nSoundSwitch=1\n";
}

struct TScreenProbe {
  const char* What;
  int X;
  int Y;
  TRgb Expected;
};

void ExpectScreen(const TScreenImage& Screen, std::initializer_list<TScreenProbe> Probes) {
  for (const TScreenProbe& Probe : Probes)
    EXPECT_EQ(Screen.Pixel(Probe.X, Probe.Y), Probe.Expected) << Probe.What << " at " << Probe.X << "," << Probe.Y;
}

TEST(MenuStartTest, ABorderlessBlackWindowCoversTheScreenWithTheMenuPictureAtTheTopLeft) {
  // Without a 640x480 mode the screen keeps its 1024x768, so the area beside the menu is seen.
  TXvfbServer Server(TXvfbServer::TModes::DesktopOnly);
  const TRgb Desktop{0x00FF00};
  Server.Display().SetRootColour(Desktop);
  ASSERT_EQ(Server.Display().Pixel(700, 600), Desktop) << "the bare desktop must not look like the window";
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures();

  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  // Found from the picture although the program was started from "/".
  ASSERT_EQ(Menu.WaitForPixel(10, 10, PlainPictures.Menu1), PlainPictures.Menu1);
  ExpectScreen(Menu.Screenshot(), {
                                      {"top-left corner, no frame or caption", 0, 0, PlainPictures.Menu1},
                                      {"menu picture's last pixel", 639, 479, PlainPictures.Menu1},
                                      {"right of the menu picture", 640, 0, Black},
                                      {"below the menu picture", 0, 480, Black},
                                      {"window background", 700, 600, Black},
                                      {"bottom-right corner of the screen", 1023, 767, Black},
                                  });
}

TEST(MenuHoverTest, ThirdMoonShowsTheHighlightedPictureExactlyOverItsRectangle) {
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures();
  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  ASSERT_EQ(Menu.WaitForPixel(10, 10, PlainPictures.Menu1), PlainPictures.Menu1);

  // Moon3Button: left 341, top 112, width 114, height 134.
  Menu.MoveMouse(398, 179);
  ASSERT_EQ(Menu.WaitForPixel(398, 179, PlainPictures.Menu2), PlainPictures.Menu2);
  const TRgb Highlighted = PlainPictures.Menu2;
  const TRgb Normal = PlainPictures.Menu1;
  ExpectScreen(Menu.Screenshot(), {
                                      {"top-left pixel inside", 341, 112, Highlighted},
                                      {"top-right pixel inside", 454, 112, Highlighted},
                                      {"bottom-left pixel inside", 341, 245, Highlighted},
                                      {"bottom-right pixel inside", 454, 245, Highlighted},
                                      {"just left", 340, 179, Normal},
                                      {"just right", 455, 179, Normal},
                                      {"just above", 398, 111, Normal},
                                      {"just below", 398, 246, Normal},
                                      {"the second moon", 243, 179, Normal},
                                  });

  // Leaving the moon for a spot without a button takes the highlight away again.
  Menu.MoveMouse(320, 420);
  EXPECT_EQ(Menu.WaitForPixel(398, 179, Normal), Normal);
}

// A way of ending the menu from the outside, while it shows the menu view.
struct TRoadOut {
  const char* Name;
  std::function<void(TMenuRun&)> Take;
};

void PrintTo(const TRoadOut& Road, std::ostream* Out) { *Out << Road.Name; }

class TRoadOutTest : public ::testing::TestWithParam<TRoadOut> {};

TEST_P(TRoadOutTest, EndsWithExitCodeZeroAndWritesZeroOverTheEarlierChoice) {
  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures();
  Menu.WriteProfile(ProfileWithAction("4"));
  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  // The picture shows once the window is up and activated, so the road is taken on a running menu.
  ASSERT_EQ(Menu.WaitForPixel(10, 10, PlainPictures.Menu1), PlainPictures.Menu1);
  ASSERT_EQ(Menu.ProfileText(), ProfileWithAction("4")) << "the result is written at the end, not before";

  GetParam().Take(Menu);

  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileText(), ProfileWithAction("0"));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, TRoadOutTest,
    ::testing::Values(TRoadOut{"EscapeOnTheMenu", [](TMenuRun& Menu) { Menu.Key("Escape"); }},
                      TRoadOut{"AltF4", [](TMenuRun& Menu) { Menu.Key("alt+F4"); }},
                      TRoadOut{"SIGTERM", [](TMenuRun& Menu) { Menu.Signal(SIGTERM); }},
                      TRoadOut{"SIGINT", [](TMenuRun& Menu) { Menu.Signal(SIGINT); }},
                      TRoadOut{"SIGHUP", [](TMenuRun& Menu) { Menu.Signal(SIGHUP); }}),
    [](const ::testing::TestParamInfo<TRoadOut>& Info) { return std::string(Info.param.Name); });

// A DISPLAY value that gives the program no screen.
struct TMissingDisplay {
  const char* Name;
  std::function<std::optional<std::string>()> DisplayValue;
};

void PrintTo(const TMissingDisplay& Display, std::ostream* Out) { *Out << Display.Name; }

class TNoDisplayTest : public ::testing::TestWithParam<TMissingDisplay> {};

TEST_P(TNoDisplayTest, SaysSoOnStderrExitsWithOneAndWritesZero) {
  TMenuRun Menu(GetParam().DisplayValue());
  Menu.WriteSolidPictures();
  Menu.WriteProfile(ProfileWithAction("4"));

  Menu.Start();

  EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(1));
  std::string Message = Menu.StderrText();
  std::transform(Message.begin(), Message.end(), Message.begin(), [](unsigned char C) { return std::tolower(C); });
  EXPECT_NE(Message.find("display"), std::string::npos) << "no word of the display in: " << Menu.StderrText();
  EXPECT_EQ(Menu.ProfileText(), ProfileWithAction("0"));
}

INSTANTIATE_TEST_SUITE_P(
    Displays, TNoDisplayTest,
    ::testing::Values(TMissingDisplay{"DisplayUnset", [] { return std::optional<std::string>(); }},
                      TMissingDisplay{"DeadDisplay", [] { return std::optional<std::string>(UnusedDisplayName()); }}),
    [](const ::testing::TestParamInfo<TMissingDisplay>& Info) { return std::string(Info.param.Name); });

}  // namespace
