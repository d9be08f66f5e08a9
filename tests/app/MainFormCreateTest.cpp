// Creation of the main window: its border, its place, the move to the program's folder, a
// creation that fails half way, and the result written when the window system closes it.
#include "MenuTestSupport.h"

namespace MenuTest {
namespace {

constexpr TDisplayMode MenuMode{640, 480, 16};

using MainFormCreate = TMenuTest;

TEST_F(MainFormCreate, MakesTheWindowBorderlessWithoutBorderIcons) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  EXPECT_EQ(Form.BorderStyle(), TFormBorderStyle::bsNone);
  EXPECT_EQ(Form.BorderIcons(), 0u);
  EXPECT_EQ(Form.ClientArea(), Form.ClientRect()) << "no frame or caption may take room from the pictures";
  Menu.AtIdle([&] {
    EXPECT_TRUE(Form.CloseBoxScreenRect().IsEmpty());
    EXPECT_EQ(Menu.Headless().Pixel(0, 0), Menu1Colour) << "the top-left pixel belongs to the menu picture";
  });
  Menu.Run();
}

TEST_F(MainFormCreate, MovesToTheProgramFolderSoThePicturesAreFound) {
  ASSERT_FALSE(fs::equivalent(fs::current_path(), ProgramFolder.Path()));
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  EXPECT_TRUE(fs::equivalent(fs::current_path(), ProgramFolder.Path())) << fs::current_path();
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_EQ(Form.MatContainer1->Picture1().Bitmap().Width(), 640);
    EXPECT_EQ(Menu.Headless().Pixel(320, 20), Menu1Colour);
  });
  Menu.Run();
}

struct TPlacementCase {
  const char* Name;
  TDisplayMode Desktop;
  std::vector<TDisplayMode> Modes;
  TPoint CreatedAt;  // left and top once the creation handler has run
  TPoint Covers;     // the size of the running window
};

class MainFormPlacement : public TMenuTest, public ::testing::WithParamInterface<TPlacementCase> {};

TEST_P(MainFormPlacement, LeftAndTopFollowTheScreenWidthAndTheWindowCoversTheScreen) {
  const TPlacementCase& Case = GetParam();
  TMenuRun Menu(ExeName(), Case.Desktop.Width, Case.Desktop.Height, Case.Modes);
  TMainForm& Form = Menu.CreateForm();
  EXPECT_EQ(Form.Left(), Case.CreatedAt.X);
  EXPECT_EQ(Form.Top(), Case.CreatedAt.Y);
  bool Inspected = false;
  Menu.AtIdle([&] {
    Inspected = true;
    EXPECT_EQ(Form.BoundsRect(), (TRect{0, 0, Case.Covers.X, Case.Covers.Y}));
    EXPECT_EQ(Form.Width(), Screen->Width());
    EXPECT_EQ(Form.Height(), Screen->Height());
  });
  Menu.Run();
  EXPECT_TRUE(Inspected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, MainFormPlacement,
    ::testing::Values(TPlacementCase{"Exactly640x480", {640, 480, 32}, {}, {0, 0}, {640, 480}},
                      TPlacementCase{"Exactly640WideButShort", {640, 350, 32}, {}, {0, 0}, {640, 350}},
                      TPlacementCase{"Wider800", {800, 600, 32}, {}, {289, 176}, {800, 600}},
                      TPlacementCase{"Wider1024", {1024, 768, 32}, {}, {289, 176}, {1024, 768}},
                      // The width is looked at before the display switches to 640x480.
                      TPlacementCase{"Wider1024ThenSwitched", {1024, 768, 32}, {{1024, 768, 32}, MenuMode}, {289, 176},
                                     {640, 480}}),
    [](const ::testing::TestParamInfo<TPlacementCase>& Info) { return std::string(Info.param.Name); });

TEST_F(MainFormCreate, FolderThatCannotBeEnteredShowsTheErrorAndTheMenuStillRuns) {
  SetProfileValue(ActionKey, "4");
  const fs::path MissingFolder = ProgramFolder / "missing";
  fs::current_path(ProgramFolder.Path());  // the pictures are found all the same
  TMenuRun Menu(MissingFolder / "menu", 1024, 768, {{1024, 768, 32}, MenuMode});
  std::string ErrorText;
  size_t FormsWhileShown = 0;
  Menu.AtIdle([&] {
    if (const TErrorBox* Box = ShownErrorBox()) ErrorText = Box->Message();
    FormsWhileShown = Screen->Forms().size();
    Menu.Headless().Type(std::string(1, Enter));
  });
  TMainForm& Form = Menu.CreateForm();
  EXPECT_NE(ErrorText.find((MissingFolder / "").string()), std::string::npos) << ErrorText;
  EXPECT_EQ(FormsWhileShown, 1u) << "the window exists while its creation error is shown";
  EXPECT_EQ(ShownErrorBox(), nullptr);
  EXPECT_EQ(Form.BorderStyle(), TFormBorderStyle::bsNone) << "the steps before the folder change ran";
  EXPECT_EQ(Form.MenuAction(), 0);
  EXPECT_EQ(Form.DirectDraw(), nullptr) << "the display switch after the folder change is skipped";
  EXPECT_TRUE(fs::equivalent(fs::current_path(), ProgramFolder.Path()));

  Menu.AtIdle([&] {
    EXPECT_EQ(Screen->ActiveForm(), &Form);
    EXPECT_EQ(Menu.Headless().CurrentMode(), (TDisplayMode{1024, 768, 32}));
    EXPECT_EQ(Menu.Headless().Pixel(320, 20), Menu1Colour);
  });
  Menu.Run();
  EXPECT_TRUE(Menu.ReachedEndOfScript());
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), "0");
}

TEST_F(MainFormCreate, WindowSystemCloseWritesZeroOnceAtDestruction) {
  SetProfileValue(ActionKey, "4");
  {
    TMenuRun Menu(ExeName());
    TMainForm& Form = Menu.CreateForm();
    Menu.AtIdle([&] { Menu.Headless().Close(); });
    Menu.Run();
    EXPECT_FALSE(Menu.ReachedEndOfScript()) << "the close ends the run";
    EXPECT_EQ(Form.MenuAction(), 0);
    EXPECT_EQ(ProfileValue(ActionKey), "4") << "nothing is written before destruction";
    Menu.DestroyForms();
    EXPECT_EQ(ProfileValue(ActionKey), "0");
    // Anything written from here on would be a second write.
    SetProfileValue(ActionKey, "4");
  }
  EXPECT_EQ(ProfileValue(ActionKey), "4");
}

}  // namespace
}  // namespace MenuTest
