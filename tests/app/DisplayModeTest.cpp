// The display mode while the menu runs: 640x480 at 16 bits when the screen has it, the desktop's
// mode otherwise, and the display object released exactly once whichever way the menu ends.
#include "MenuTestSupport.h"

namespace MenuTest {
namespace {

constexpr TDisplayMode Desktop{1024, 768, 32};
constexpr TDisplayMode MenuMode{640, 480, 16};

// What the main window did with its display object.
struct TDisplayLog {
  TScreenBackend* CooperativeWindow = nullptr;
  std::vector<uint32_t> CooperativeFlags;
  std::vector<TDisplayMode> ModesAsked;
  int Releases = 0;
  int Freed = 0;
};

// Wraps the real display object and logs the calls made on it.
class TLoggingDirectDraw final : public IDirectDraw {
public:
  TLoggingDirectDraw(IDirectDraw* Inner, TDisplayLog& Log) : FInner(Inner), FLog(Log) {}

  HRESULT SetCooperativeLevel(TScreenBackend* Window, uint32_t Flags) override {
    FLog.CooperativeWindow = Window;
    FLog.CooperativeFlags.push_back(Flags);
    return FInner->SetCooperativeLevel(Window, Flags);
  }
  HRESULT SetDisplayMode(uint32_t Width, uint32_t Height, uint32_t BitsPerPixel) override {
    FLog.ModesAsked.push_back(
        {static_cast<int32_t>(Width), static_cast<int32_t>(Height), static_cast<int32_t>(BitsPerPixel)});
    return FInner->SetDisplayMode(Width, Height, BitsPerPixel);
  }
  uint32_t AddRef() override { return FInner->AddRef(); }
  uint32_t Release() override {
    ++FLog.Releases;
    const uint32_t Left = FInner->Release();
    if (Left == 0) {
      ++FLog.Freed;
      delete this;
    }
    return Left;
  }

private:
  ~TLoggingDirectDraw() override = default;

  IDirectDraw* FInner;
  TDisplayLog& FLog;
};

class TLoggedMainForm : public TMainForm {
public:
  explicit TLoggedMainForm(TDisplayLog& Log) : FLog(Log) {}

protected:
  HRESULT CreateDisplayObject(IDirectDraw** Object) override {
    IDirectDraw* Inner = nullptr;
    const HRESULT Result = DirectDrawCreate(nullptr, &Inner, nullptr);
    *Object = Result == DD_OK ? new TLoggingDirectDraw(Inner, FLog) : nullptr;
    return Result;
  }

private:
  TDisplayLog& FLog;
};

// The display library cannot be used.
class TNoDisplayMainForm : public TMainForm {
protected:
  HRESULT CreateDisplayObject(IDirectDraw** Object) override {
    *Object = nullptr;
    return DDERR_GENERIC;
  }
};

struct TRoadCase {
  const char* Name;
  std::function<void(TMainForm&, THeadlessScreen&)> Take;
  int32_t Result;
};

class DisplayModeRoad : public TMenuTest, public ::testing::WithParamInterface<TRoadCase> {};

TEST_P(DisplayModeRoad, MenuModeHoldsWhileRunningAndIsGivenBackOnceAtTheEnd) {
  const TRoadCase& Case = GetParam();
  SetProfileValue(ActionKey, "4");
  TDisplayLog Log;
  {
    TMenuRun Menu(ExeName(), Desktop.Width, Desktop.Height, {Desktop, MenuMode});
    THeadlessScreen& Headless = Menu.Headless();
    auto& Form = Menu.CreateForm<TLoggedMainForm>(Log);
    ASSERT_NE(Form.DirectDraw(), nullptr);
    EXPECT_EQ(Log.CooperativeWindow, &Menu.App().Backend()) << "the level is set for the application's screen";
    EXPECT_EQ(Log.CooperativeFlags, std::vector<uint32_t>{0x11});
    EXPECT_EQ(Log.ModesAsked, std::vector<TDisplayMode>{MenuMode});
    Menu.AtIdle([&] {
      EXPECT_EQ(Headless.CurrentMode(), MenuMode);
      ASSERT_NE(Headless.BackBuffer(), nullptr);
      EXPECT_EQ(Headless.BackBuffer()->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB565));
      EXPECT_EQ(Screen->Width(), 640);
      EXPECT_EQ(Screen->Height(), 480);
      EXPECT_EQ(Form.BoundsRect(), (TRect{0, 0, 640, 480})) << "the maximized window follows the new size";
      EXPECT_EQ(Headless.Pixel(20, 20), Menu1Colour);
      EXPECT_EQ(Headless.Pixel(639, 0), Menu1Colour);
      Case.Take(Form, Headless);
    });
    Menu.Run();
    EXPECT_EQ(Menu.StepsLeft(), 0u);
    EXPECT_FALSE(Menu.ReachedEndOfScript()) << "the road itself ends the run";
    EXPECT_EQ(Log.Releases, 0) << "the object is held to the end of the run";
    EXPECT_EQ(Headless.CurrentMode(), MenuMode);
    Menu.DestroyForms();
    EXPECT_EQ(Log.Releases, 1);
    EXPECT_EQ(Log.Freed, 1);
    EXPECT_EQ(Headless.CurrentMode(), Desktop);
    EXPECT_EQ(Headless.Size(), (TPoint{Desktop.Width, Desktop.Height}));
  }
  EXPECT_EQ(Log.Releases, 1) << "released exactly once";
  EXPECT_EQ(ProfileValue(ActionKey), std::to_string(Case.Result));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, DisplayModeRoad,
    ::testing::Values(
        TRoadCase{"HotSpot", [](TMainForm& Form, THeadlessScreen& Headless) { ClickCentreOf(*Form.Moon2Button, Headless); }, 2},
        TRoadCase{"ExitHotSpot",
                  [](TMainForm& Form, THeadlessScreen& Headless) { ClickCentreOf(*Form.ExitButton, Headless); }, 0},
        TRoadCase{"Escape", [](TMainForm&, THeadlessScreen& Headless) { Headless.Type(std::string(1, Escape)); }, 0},
        TRoadCase{"AccessCode", [](TMainForm&, THeadlessScreen& Headless) { Headless.Type("kexlip6"); }, 6},
        TRoadCase{"WindowClose", [](TMainForm&, THeadlessScreen& Headless) { Headless.Close(); }, 0}),
    [](const ::testing::TestParamInfo<TRoadCase>& Info) { return std::string(Info.param.Name); });

using DisplayMode = TMenuTest;

// Quarters of distinct colours, so that a picture drawn anywhere but 1:1 at the top-left shows.
uint32_t QuarterColour(int32_t X, int32_t Y) {
  if (Y < 240) return X < 320 ? 0xFF0000 : 0xFF00FF;
  return X < 320 ? 0x00F6FF : 0x0000FF;
}

TEST_F(DisplayMode, WithoutTheMenuModeTheMenuRunsAtTheDesktopSizeWithBlackAround) {
  WriteBitmap(ProgramFolder / "menu1.bmp", QuarterColour);
  const std::vector<TDisplayMode> Modes{Desktop, {640, 480, 32}, {800, 600, 16}};
  TDisplayLog Log;
  TMenuRun Menu(ExeName(), Desktop.Width, Desktop.Height, Modes);
  THeadlessScreen& Headless = Menu.Headless();
  auto& Form = Menu.CreateForm<TLoggedMainForm>(Log);
  EXPECT_NE(Form.DirectDraw(), nullptr);
  Menu.AtIdle([&] {
    EXPECT_EQ(Headless.CurrentMode(), Desktop);
    EXPECT_EQ(Form.BoundsRect(), (TRect{0, 0, Desktop.Width, Desktop.Height}));
    for (const TPoint P : {TPoint{0, 0}, TPoint{319, 239}, TPoint{320, 0}, TPoint{639, 239}, TPoint{0, 240},
                           TPoint{319, 479}, TPoint{320, 240}, TPoint{500, 400}})
      EXPECT_EQ(Headless.Pixel(P.X, P.Y), QuarterColour(P.X, P.Y)) << P.X << "," << P.Y;
    for (const TPoint P : {TPoint{640, 0}, TPoint{1023, 0}, TPoint{0, 480}, TPoint{639, 480}, TPoint{1023, 767},
                           TPoint{800, 300}})
      EXPECT_EQ(Headless.Pixel(P.X, P.Y), Black) << P.X << "," << P.Y;
  });
  Menu.Run();
  Menu.DestroyForms();
  EXPECT_EQ(Log.Releases, 1);
  EXPECT_EQ(Headless.CurrentMode(), Desktop);
}

TEST_F(DisplayMode, FailedCreationLeavesNoObjectAndTheMenuRunsInTheDesktopMode) {
  SetProfileValue(ActionKey, "6");
  TMenuRun Menu(ExeName(), Desktop.Width, Desktop.Height, {Desktop, MenuMode});
  THeadlessScreen& Headless = Menu.Headless();
  auto& Form = Menu.CreateForm<TNoDisplayMainForm>();
  EXPECT_EQ(Form.DirectDraw(), nullptr);
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_EQ(Headless.CurrentMode(), Desktop);
    EXPECT_EQ(Headless.Pixel(20, 20), Menu1Colour);
    EXPECT_EQ(Headless.Pixel(700, 20), Black);
    ClickCentreOf(*Form.Moon4Button, Headless);
  });
  Menu.Run();
  EXPECT_FALSE(Menu.ReachedEndOfScript());
  Menu.DestroyForms();
  EXPECT_EQ(Headless.CurrentMode(), Desktop);
  EXPECT_EQ(ProfileValue(ActionKey), "4");
}

struct TPalettedCase {
  const char* Name;
  std::vector<TDisplayMode> Modes;
  TDisplayMode Running;
};

class DisplayModePaletted : public TMenuTest, public ::testing::WithParamInterface<TPalettedCase> {};

TEST_P(DisplayModePaletted, PalettedPictureShowsItsPaletteColours) {
  constexpr uint32_t PaletteColour = 0xFF00FF;
  WritePalettedBitmap(ProgramFolder / "menu1.bmp", PaletteColour);
  WritePalettedBitmap(ProgramFolder / "menu2.bmp", 0x00F6FF);
  TMenuRun Menu(ExeName(), Desktop.Width, Desktop.Height, GetParam().Modes);
  THeadlessScreen& Headless = Menu.Headless();
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_EQ(Headless.CurrentMode(), GetParam().Running);
    EXPECT_EQ(Headless.Pixel(20, 20), PaletteColour);
    const TPoint Moon = CentreOf(*Form.Moon1Button);
    Headless.MouseMove(Moon.X, Moon.Y);
  });
  Menu.AtIdle([&] {
    const TPoint Moon = CentreOf(*Form.Moon1Button);
    EXPECT_EQ(Headless.Pixel(Moon.X, Moon.Y), 0x00F6FFu);
    EXPECT_EQ(Headless.Pixel(20, 20), PaletteColour);
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Screens, DisplayModePaletted,
                         ::testing::Values(TPalettedCase{"MenuMode", {Desktop, MenuMode}, MenuMode},
                                           TPalettedCase{"DesktopMode", {Desktop}, Desktop}),
                         [](const ::testing::TestParamInfo<TPalettedCase>& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace MenuTest
