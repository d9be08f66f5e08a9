// Activation of the main window: the profile reads and the label come first, then the four
// pictures in their order, then the menu view; a picture that fails stops the rest.
#include "MenuTestSupport.h"

#include <array>

namespace MenuTest {
namespace {

using MainFormActivate = TMenuTest;

TEST_F(MainFormActivate, EachPictureIsLoadedIntoItsPlace) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_TRUE(Form.MatContainer1->Visible());
    EXPECT_FALSE(Form.credits->Visible());
    EXPECT_EQ(Headless.Pixel(20, 20), Menu1Colour);
    const TPoint Moon = CentreOf(*Form.Moon3Button);
    Headless.MouseMove(Moon.X, Moon.Y);
  });
  Menu.AtIdle([&] {
    const TPoint Moon = CentreOf(*Form.Moon3Button);
    EXPECT_EQ(Headless.Pixel(Moon.X, Moon.Y), Menu2Colour);
    EXPECT_EQ(Headless.Pixel(20, 20), Menu1Colour);
    ClickCentreOf(*Form.CreditsButton, Headless);
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(Headless.Pixel(20, 20), Credits1Colour);
    const TPoint Ok = CentreOf(*Form.OkButton);
    Headless.MouseMove(Ok.X, Ok.Y);
  });
  Menu.AtIdle([&] {
    const TPoint Ok = CentreOf(*Form.OkButton);
    EXPECT_EQ(Headless.Pixel(Ok.X, Ok.Y), Credits2Colour);
    EXPECT_EQ(Headless.Pixel(20, 20), Credits1Colour);
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

enum class TDamage { Missing, Truncated };

struct TLoadFailureCase {
  const char* Name;
  const char* File;
  TDamage Damage;
  std::string Message;
  std::array<bool, 4> Loaded;  // menu1, menu2, credits1, credits2 after the failure
};

class MainFormLoadFailure : public TMenuTest, public ::testing::WithParamInterface<TLoadFailureCase> {};

uint32_t ColourOfPicture(const std::string& File) {
  if (File == "menu1.bmp") return Menu1Colour;
  if (File == "menu2.bmp") return Menu2Colour;
  if (File == "credits1.bmp") return Credits1Colour;
  return Credits2Colour;
}

std::array<bool, 4> LoadedPictures(TMainForm& Form) {
  auto Loaded = [](TPicture& Picture) { return Picture.Bitmap().Width() == 640; };
  return {Loaded(Form.MatContainer1->Picture1()), Loaded(Form.MatContainer1->Picture2()),
          Loaded(Form.credits->Picture1()), Loaded(Form.credits->Picture2())};
}

TEST_P(MainFormLoadFailure, ErrorBoxShowsTheCauseTheRestIsSkippedAndTheMenuRunsOn) {
  const TLoadFailureCase& Case = GetParam();
  const fs::path Broken = ProgramFolder / Case.File;
  if (Case.Damage == TDamage::Missing) fs::remove(Broken);
  else TruncateBitmap(Broken);
  SetProfileValue(ActionKey, "4");
  SetProfileValue(QuirBalentKey, "1");
  SetProfileValue(OkExeVersionKey, "9.9");

  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  const uint32_t BrokenColour = ColourOfPicture(Case.File);
  const bool MenuPictureLoaded = Case.Loaded[0], HighlightLoaded = Case.Loaded[1];

  Menu.AtIdle([&] {
    const TErrorBox* Box = ShownErrorBox();
    ASSERT_NE(Box, nullptr);
    EXPECT_EQ(Box->Message(), Case.Message);
    EXPECT_EQ(Box->Title(), "menu");
    // The profile reads and the label came before the pictures ...
    EXPECT_TRUE(Form.CheatBox->Visible());
    EXPECT_EQ(Form.VersionLabel->Caption(), "v9.9");
    // ... the pictures after the failing one were not loaded ...
    EXPECT_EQ(LoadedPictures(Form), Case.Loaded);
    // ... and the view was not switched: both containers are visible, the menu one on top.
    EXPECT_TRUE(Form.MatContainer1->Visible());
    EXPECT_TRUE(Form.credits->Visible());
    EXPECT_EQ(Headless.Pixel(20, 20), MenuPictureLoaded ? Menu1Colour : Black);
    Headless.Type(std::string(1, Enter));
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr) << "Enter closed the box";
    EXPECT_EQ(Form.MenuAction(), 0);
    const TPoint Moon = CentreOf(*Form.Moon2Button);
    Headless.MouseMove(Moon.X, Moon.Y);
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(Headless.Pixel(20, 20), MenuPictureLoaded ? Menu1Colour : Black);
    const TPoint Moon = CentreOf(*Form.Moon2Button);
    EXPECT_EQ(Headless.Pixel(Moon.X, Moon.Y), HighlightLoaded ? Menu2Colour : Black);
    for (int32_t Y = 0; Y < 480; Y += 8)
      for (int32_t X = 0; X < 640; X += 8)
        ASSERT_NE(Headless.Pixel(X, Y), BrokenColour) << "drawn from the failed picture at " << X << "," << Y;
    // The credits container lies visible under the menu one, so this Escape only hides it.
    Headless.Type(std::string(1, Escape));
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(Form.MatContainer1->Visible());
    EXPECT_FALSE(Form.credits->Visible());
    Headless.Type(std::string(1, Escape));
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u) << "the menu stopped running too early";
  EXPECT_FALSE(Menu.ReachedEndOfScript()) << "the last Escape ends the run";
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), "0");
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, MainFormLoadFailure,
    ::testing::Values(
        TLoadFailureCase{"Menu1Missing", "menu1.bmp", TDamage::Missing, "Cannot open file menu1.bmp", {false, false, false, false}},
        TLoadFailureCase{"Menu2Missing", "menu2.bmp", TDamage::Missing, "Cannot open file menu2.bmp", {true, false, false, false}},
        TLoadFailureCase{"Credits1Missing", "credits1.bmp", TDamage::Missing, "Cannot open file credits1.bmp",
                         {true, true, false, false}},
        TLoadFailureCase{"Credits2Missing", "credits2.bmp", TDamage::Missing, "Cannot open file credits2.bmp",
                         {true, true, true, false}},
        TLoadFailureCase{"Menu1Damaged", "menu1.bmp", TDamage::Truncated, "Bitmap image is not valid", {false, false, false, false}},
        TLoadFailureCase{"Menu2Damaged", "menu2.bmp", TDamage::Truncated, "Bitmap image is not valid", {true, false, false, false}},
        TLoadFailureCase{"Credits2Damaged", "credits2.bmp", TDamage::Truncated, "Bitmap image is not valid",
                         {true, true, true, false}}),
    [](const ::testing::TestParamInfo<TLoadFailureCase>& Info) { return std::string(Info.param.Name); });

// Roads through the error box of a failed load: keys and clicks meant for the box or lying under
// the menu container must not act on the menu.
TEST_F(MainFormActivate, EscapeClosesTheErrorBoxWithoutReachingTheMenu) {
  fs::remove(ProgramFolder / "menu2.bmp");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    ASSERT_NE(ShownErrorBox(), nullptr);
    Menu.Headless().Type(std::string(1, Escape));
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_TRUE(Form.credits->Visible()) << "the menu's Escape handling did not run";
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

TEST_F(MainFormActivate, PressOnTheCreditsButtonUnderTheMenuDoesNothing) {
  fs::remove(ProgramFolder / "credits1.bmp");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] { Menu.Headless().Type(std::string(1, Enter)); });
  Menu.AtIdle([&] {
    ASSERT_TRUE(Form.credits->Visible());
    ClickCentreOf(*Form.OkButton, Menu.Headless());
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(Form.credits->Visible());
    EXPECT_TRUE(Form.MatContainer1->Visible());
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

TEST_F(MainFormActivate, WindowCloseWhileTheErrorBoxIsShownEndsLikeAnyOtherRoad) {
  constexpr TDisplayMode Desktop{1024, 768, 32};
  fs::remove(ProgramFolder / "credits2.bmp");
  SetProfileValue(ActionKey, "4");
  TMenuRun Menu(ExeName(), Desktop.Width, Desktop.Height, {Desktop, {640, 480, 16}});
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    ASSERT_NE(ShownErrorBox(), nullptr);
    Menu.Headless().Close();
  });
  Menu.Run();
  EXPECT_FALSE(Menu.ReachedEndOfScript()) << "the close ends the run";
  EXPECT_EQ(ShownErrorBox(), nullptr);
  EXPECT_EQ(Form.MenuAction(), 0);
  Menu.DestroyForms();
  EXPECT_EQ(Menu.Headless().CurrentMode(), Desktop);
  EXPECT_EQ(ProfileValue(ActionKey), "0");
}

}  // namespace
}  // namespace MenuTest
