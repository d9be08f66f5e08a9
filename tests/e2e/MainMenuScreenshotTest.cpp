// The menu with the demo pictures that the build makes, as a player first sees it: the menu
// picture, and the first moon's highlight when the mouse rests on it. The same screen is the
// README's picture: with MENU_UPDATE_SCREENSHOT=1 the test writes it to docs/menu.png.
#include "e2e/MainMenuScreen.h"
#include "e2e/MenuHarness.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string_view>

namespace {

using namespace std::chrono_literals;

constexpr int ScreenWidth = 640, ScreenHeight = 480;
constexpr TArea Moon1{29, 115, 114, 131};
// A spot of the menu view that no control covers.
constexpr TSpot Bare{20, 20};
// The version label, white on black over the picture, from 602,459 to the screen's edge.
constexpr TArea VersionLabel{602, 459, ScreenWidth - 602, 13};

bool UpdateWanted() {
  const char* Value = std::getenv("MENU_UPDATE_SCREENSHOT");
  return Value != nullptr && std::string_view(Value) == "1";
}

// Waits until the screen shows ExpectedAt everywhere on the 640x480 of the menu but the version
// label, and answers that screen; on a timeout, the failure names the first pixel that still
// differs.
TScreenImage WaitForScreen(const TMenuRun& Menu, const std::function<TRgb(int X, int Y)>& ExpectedAt,
                           const char* What) {
  TScreenImage Screen;
  TDifference Difference;
  const bool Shown = WaitUntil(
      [&] {
        Screen = Menu.Screenshot();
        if (Screen.Width() < ScreenWidth || Screen.Height() < ScreenHeight) return false;
        Difference = CompareScreen(Screen, ScreenWidth, ScreenHeight, ExpectedAt, {VersionLabel});
        return Difference.Count == 0;
      },
      30s, 200ms);
  EXPECT_TRUE(Shown) << What << ": " << Difference.Count << " pixels differ, the first at " << Difference.First.X
                     << "," << Difference.First.Y << " shows " << ::testing::PrintToString(Difference.Seen)
                     << " instead of " << ::testing::PrintToString(Difference.Expected);
  return Screen;
}

TEST(MainMenuScreenshotTest, DemoPicturesShowWithTheFirstMoonHighlightedUnderTheMouse) {
  const std::filesystem::path Build(MENU_BINARY_DIR);
  const TScreenImage Normal = ReadPicture(Build / "menu1.bmp");
  const TScreenImage Highlighted = ReadPicture(Build / "menu2.bmp");
  ASSERT_EQ(Normal.Width(), ScreenWidth);
  ASSERT_EQ(Normal.Height(), ScreenHeight);
  ASSERT_EQ(Highlighted.Width(), ScreenWidth);
  ASSERT_EQ(Highlighted.Height(), ScreenHeight);
  ASSERT_GT(CompareScreen(Normal, ScreenWidth, ScreenHeight,
                         [&](int X, int Y) { return Moon1.Contains({X, Y}) ? Highlighted.Pixel(X, Y) : Normal.Pixel(X, Y); })
                .Count,
            0)
      << "the demo pictures do not differ over the first moon, so its highlight could not be seen";

  TXvfbServer Server;
  TMenuRun Menu(Server.Display());
  Menu.CopyDemoPictures();
  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  Menu.MoveMouse(Bare.X, Bare.Y);
  WaitForScreen(Menu, [&](int X, int Y) { return Normal.Pixel(X, Y); }, "the menu picture");
  if (::testing::Test::HasFailure()) return;

  Menu.MoveMouse(Moon1.Centre().X, Moon1.Centre().Y);
  const TScreenImage Screen = WaitForScreen(
      Menu,
      [&](int X, int Y) { return Moon1.Contains({X, Y}) ? Highlighted.Pixel(X, Y) : Normal.Pixel(X, Y); },
      "the menu picture with the first moon highlighted");
  if (::testing::Test::HasFailure()) return;
  EXPECT_GT(CountPixels(Screen, VersionLabel, [](TRgb Seen) { return ShowsAs(Seen, TRgb{0xFFFFFF}); }), 0)
      << "no version label";
  if (!UpdateWanted()) return;

  const std::filesystem::path Png = std::filesystem::path(MENU_SOURCE_DIR) / "docs" / "menu.png";
  WritePng(Screen, ScreenWidth, ScreenHeight, Png);
  const TScreenImage Written = ReadPicture(Png);
  EXPECT_EQ(CompareScreen(Written, ScreenWidth, ScreenHeight, [&](int X, int Y) { return Screen.Pixel(X, Y); }).Count, 0);
}

}  // namespace
