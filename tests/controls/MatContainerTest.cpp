// The picture container: it shows its normal picture 1:1 from its top-left corner and never its
// highlighted one; a new normal picture repaints it, a new highlighted one repaints nothing; a
// picture with a new palette asks the active form to realize palettes.
#include "PictureMapFixture.h"

#include "forms/Layout.h"
#include "controls/Registration.h"

#include <gtest/gtest.h>

namespace {

using namespace TestPictures;

struct TPictureSizeCase {
  const char* Name;
  int32_t Width;  // 0: no graphic at all; -1: an empty bitmap, as a layout stores it
  int32_t Height;
};

class ContainerPictureTest : public PictureMapFixture, public testing::WithParamInterface<TPictureSizeCase> {};

TEST_P(ContainerPictureTest, ShowsThePictureOneToOneFromItsTopLeftCornerAndBlackBeyondIt) {
  const TPictureSizeCase& Case = GetParam();
  if (Case.Width == 0) Container->Picture1().Clear();
  else if (Case.Width < 0) Container->Picture1().SetBitmap(TBitmap());
  else Container->Picture1().SetBitmap(PatternBitmap(Case.Width, Case.Height, NormalSeed));
  App.ProcessMessages();

  EXPECT_TRUE(ScreenShows([&](int32_t X, int32_t Y) -> uint32_t {
    if (!ContainerOnScreen.Contains(TPoint{X, Y})) return Expected({})(X, Y);
    return X - Origin.X < Case.Width && Y - Origin.Y < Case.Height ? Normal(X, Y) : 0x000000;
  }));
  EXPECT_EQ(Container->BoundsRect(), (TRect{10, 5, 650, 485})) << "the container keeps its size";
}

INSTANTIATE_TEST_SUITE_P(Sizes, ContainerPictureTest,
                         testing::Values(TPictureSizeCase{"SameSize", 640, 480}, TPictureSizeCase{"Larger", 800, 600},
                                         TPictureSizeCase{"Smaller", 300, 200}, TPictureSizeCase{"NoGraphic", 0, 0},
                                         TPictureSizeCase{"EmptyBitmap", -1, -1}),
                         [](const testing::TestParamInfo<TPictureSizeCase>& Info) { return std::string(Info.param.Name); });

TEST_F(PictureMapFixture, LoadingPicture1RepaintsTheContainerOnce) {
  TTempFolder Folder;
  const std::string File = Folder.File("menu.bmp");
  SaveBitmapFile(PatternSurface(640, 480, 5).get(), File);
  Headless.ResetCounts();

  Container->Picture1().LoadFromFile(File);
  App.ProcessMessages();

  EXPECT_EQ(Headless.PresentCount(), 1);
  EXPECT_EQ(Headless.LastPresented(), (std::vector<TRect>{ContainerOnScreen}));
  EXPECT_TRUE(ScreenShows([&](int32_t X, int32_t Y) {
    return ContainerOnScreen.Contains(TPoint{X, Y}) ? PatternRgb(X - Origin.X, Y - Origin.Y, 5) : Expected({})(X, Y);
  }));
}

TEST_F(PictureMapFixture, LoadingPicture2AloneRepaintsNothingEvenUnderAHoveredButton) {
  TTempFolder Folder;
  const std::string File = Folder.File("menu2.bmp");
  SaveBitmapFile(PatternSurface(640, 480, 6).get(), File);
  MoveTo(TestScreen::Centre(OnScreen(*First)));
  ASSERT_TRUE(First->MouseInside());
  const std::vector<uint32_t> Before = TestScreen::Frame(Headless);
  Headless.ResetCounts();

  Container->Picture2().LoadFromFile(File);
  App.ProcessMessages();

  EXPECT_EQ(Headless.PresentCount(), 0);
  EXPECT_EQ(TestScreen::Frame(Headless), Before);

  // The buttons read the new highlighted picture when they paint next.
  First->Invalidate();
  App.ProcessMessages();
  EXPECT_EQ(Headless.Pixel(OnScreen(*First).Left, OnScreen(*First).Top),
            PatternRgb(First->Left(), First->Top(), 6));
}

TEST_F(PictureMapFixture, TheContainerTakesNoCaptureAndPassesPressesToNobody) {
  Headless.MouseDown(Origin.X + 400, Origin.Y + 300);
  App.ProcessMessages();

  EXPECT_EQ(Form.CaptureControl(), nullptr);
  EXPECT_FALSE(Container->ControlStyle() & (csCaptureMouse | csClickEvents | csDoubleClicks));
  EXPECT_TRUE(Container->ControlStyle() & csAcceptsControls);
  EXPECT_TRUE(Container->ControlStyle() & csOpaque);
}

TEST_F(PictureMapFixture, GetPaletteIsThePaletteOfPicture1) {
  EXPECT_EQ(Container->GetPalette(), nullptr) << "a true-colour picture has none";

  Container->Picture1().SetBitmap(TBitmap(PalettedSurface(8, 8, {0x112233, 0x445566})));
  EXPECT_EQ(Container->GetPalette(), Container->Picture1().Bitmap().Palette());
  EXPECT_NE(Container->GetPalette(), nullptr);

  Container->Picture1().Clear();
  EXPECT_EQ(Container->GetPalette(), nullptr);
}

// The palette-realize request.

class TPaletteForm : public TForm {
public:
  HDC DeviceContext() { return Canvas().Handle(); }
};

class PaletteRequestFixture : public testing::Test {
public:
  PaletteRequestFixture() : App(TestScreen::NewHeadless()), Form(App.CreateForm<TPaletteForm>()) {
    Form.SetBorderStyle(TFormBorderStyle::bsNone);
    Form.SetBounds(0, 0, 640, 480);
    Container = &Form.InsertControl(std::make_unique<MatContainer>());
    Container->SetBounds(0, 0, 640, 480);
    SaveBitmapFile(PalettedSurface(64, 48, {0xFF0000, 0x00FF00, 0x0000FF}).get(), PalettedFile);
    SaveBitmapFile(PatternSurface(64, 48, 1).get(), TrueColourFile);
  }

  void ShowAndActivate(TCustomForm& Shown) {
    Shown.Show();
    App.ProcessMessages();
    ASSERT_EQ(Screen->ActiveForm(), &Shown);
  }

  bool FlagSet() { return Container->Picture1().Bitmap().PaletteModified(); }

  TApplication App;
  TPaletteForm& Form;
  MatContainer* Container = nullptr;
  TTempFolder Folder;
  const std::string PalettedFile = Folder.File("paletted.bmp");
  const std::string TrueColourFile = Folder.File("truecolour.bmp");
  TFormPtr<TForm> Other;
};

TEST_F(PaletteRequestFixture, ANewPaletteOnTheActiveFormPostsOneRequestThatRealizesIt) {
  ShowAndActivate(Form);
  const int RealizedBefore = Form.DeviceContext()->RealizePaletteCalls;

  Container->Picture1().LoadFromFile(PalettedFile);

  EXPECT_EQ(App.PendingMessages(&Form), 1u);
  EXPECT_FALSE(FlagSet());
  const HPALETTE Selected = Form.DeviceContext()->SelectedPalette;
  App.ProcessMessages();
  EXPECT_EQ(App.PendingMessages(&Form), 0u);
  EXPECT_EQ(Form.DeviceContext()->RealizePaletteCalls, RealizedBefore + 1) << "the form realized the palette";
  EXPECT_EQ(Form.DeviceContext()->SelectedPalette, Selected);
}

struct TNoRequestCase {
  const char* Name;
  std::function<void(PaletteRequestFixture&)> Arrange;
};

class PaletteNoRequestTest : public PaletteRequestFixture, public testing::WithParamInterface<TNoRequestCase> {};

TEST_P(PaletteNoRequestTest, PostsNothingKeepsTheFlagAndAsksAtALaterChange) {
  GetParam().Arrange(*this);

  Container->Picture1().LoadFromFile(PalettedFile);

  EXPECT_EQ(App.PendingMessages(&Form), 0u);
  EXPECT_TRUE(FlagSet());

  // The same graphic comes back once the form is active and shows the container.
  TPicture Kept;
  Kept.Assign(Container->Picture1());
  Other.reset();
  Container->Show();
  Container->SetLoading(false);
  if (!Form.Visible()) Form.Show();
  App.ProcessMessages();
  ASSERT_EQ(Screen->ActiveForm(), &Form);
  Container->SetPicture1(Kept);
  EXPECT_EQ(App.PendingMessages(&Form), 1u);
  EXPECT_FALSE(FlagSet());
}

INSTANTIATE_TEST_SUITE_P(
    Situations, PaletteNoRequestTest,
    testing::Values(
        TNoRequestCase{"FormNeverShown", [](PaletteRequestFixture&) {}},
        TNoRequestCase{"AnotherFormIsActive",
                       [](PaletteRequestFixture& F) {
                         F.ShowAndActivate(F.Form);
                         F.Other = NewForm<TForm>();
                         F.Other->SetBounds(10, 10, 100, 100);
                         F.ShowAndActivate(*F.Other);
                       }},
        TNoRequestCase{"ContainerHidden",
                       [](PaletteRequestFixture& F) {
                         F.ShowAndActivate(F.Form);
                         F.Container->Hide();
                       }},
        TNoRequestCase{"ContainerLoadingFromALayout",
                       [](PaletteRequestFixture& F) {
                         F.ShowAndActivate(F.Form);
                         F.Container->SetLoading(true);
                       }}),
    [](const testing::TestParamInfo<TNoRequestCase>& Info) { return std::string(Info.param.Name); });

TEST_F(PaletteRequestFixture, ATrueColourPictureOnlyHasItsFlagCleared) {
  ShowAndActivate(Form);

  Container->Picture1().LoadFromFile(TrueColourFile);

  EXPECT_EQ(App.PendingMessages(&Form), 0u);
  EXPECT_FALSE(FlagSet());
}

TEST_F(PaletteRequestFixture, AHiddenFormThatWasShownBeforePostsNothing) {
  ShowAndActivate(Form);
  Form.Hide();
  App.ProcessMessages();

  Container->Picture1().LoadFromFile(PalettedFile);

  EXPECT_EQ(App.PendingMessages(&Form), 0u);
  EXPECT_TRUE(FlagSet());
}

TEST_F(PaletteRequestFixture, APictureWithoutTheFlagPostsNothing) {
  ShowAndActivate(Form);
  TPicture Settled;
  Settled.LoadFromFile(PalettedFile);
  Settled.Bitmap().SetPaletteModified(false);

  Container->SetPicture1(Settled);

  EXPECT_EQ(App.PendingMessages(&Form), 0u);
}

TEST_F(PaletteRequestFixture, AContainerFromALayoutAsksOnceTheLayoutIsRead) {
  RegisterPictureMapControls();
  ShowAndActivate(Form);
  LoadLayout(Form, R"({"name": "Form", "controls": [{"class": "MatContainer", "name": "Menu",
                       "Picture1": {"Graphic": "TBitmap"}, "Picture2": {"Graphic": "TBitmap"}}]})",
             "palette.layout.json");
  auto& Menu = LayoutControl<MatContainer>(Form, "Menu");
  EXPECT_EQ(App.PendingMessages(&Form), 0u);
  EXPECT_FALSE(Menu.Loading());

  Menu.Picture1().LoadFromFile(PalettedFile);
  EXPECT_EQ(App.PendingMessages(&Form), 1u);
}

}  // namespace
