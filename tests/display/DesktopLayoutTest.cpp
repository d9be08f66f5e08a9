#include "display/DesktopLayout.h"

#include <gtest/gtest.h>

namespace {

TDesktopLayout TwoMonitors() {
  TDesktopLayout Layout;
  Layout.Width = 2944;
  Layout.Height = 1080;
  Layout.WidthMm = 780;
  Layout.HeightMm = 290;
  Layout.Crtcs.push_back({63, 1200, 0, 0, 1, {66}});
  Layout.Crtcs.push_back({64, 1234, 1920, 56, 2, {67, 68}});
  return Layout;
}

TEST(DesktopLayoutText, RoundTrips) {
  const TDesktopLayout Layouts[] = {
      TwoMonitors(),
      TDesktopLayout{1024, 768, 0, 0, {{59, 58, 0, 0, 1, {60}}}},
      TDesktopLayout{640, 480, 0, 0, {}},
      TDesktopLayout{800, 600, 0, 0, {{0xFFFFFFFFull, 0x7FFFFFFFull, -10, -20, 8, {}}}},
  };
  for (const TDesktopLayout& Layout : Layouts) {
    const std::string Text = DesktopLayoutToText(Layout);
    const std::optional<TDesktopLayout> Back = DesktopLayoutFromText(Text);
    ASSERT_TRUE(Back.has_value()) << Text;
    EXPECT_EQ(*Back, Layout) << Text;
  }
}

TEST(DesktopLayoutText, RefusesWhatIsNotALayout) {
  const std::string Good = DesktopLayoutToText(TwoMonitors());
  const std::string Damaged[] = {
      "",
      "1024",
      "1024 768 0 0",
      "0 768 0 0 0",
      "1024 -768 0 0 0",
      "1024 768 0 0 1",
      "1024 768 0 0 1 59 58 0 0 1 2 60",
      "1024 768 0 0 0 extra",
      "1024 768 0 0 1000000",
      "1024 768 0 0 1 59 58 0 0 1 1000000",
      "1024x768 0 0 0",
      "1024 768 0 0 0 7",
      Good + " 1",
      Good.substr(0, Good.size() - 1) + "x",
  };
  for (const std::string& Text : Damaged) EXPECT_FALSE(DesktopLayoutFromText(Text).has_value()) << '"' << Text << '"';
}

TEST(DesktopLayout, NoDisplayGivesNoLayoutAndNoRestore) {
  const char* Saved = std::getenv("DISPLAY");
  const std::string Display = Saved ? Saved : "";
  // A display that cannot exist: the calls must answer, not end the process.
  setenv("DISPLAY", ":65534", 1);
  EXPECT_FALSE(ReadDesktopLayout().has_value());
  EXPECT_FALSE(RestoreDesktopLayout(TwoMonitors()));
  if (Saved)
    setenv("DISPLAY", Display.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

}  // namespace
