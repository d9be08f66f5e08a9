#include "display/ddraw.h"
#include "os/HeadlessScreen.h"

#include <gtest/gtest.h>

namespace {

constexpr TDisplayMode Menu16{640, 480, 16};
constexpr uint32_t ExclusiveFullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;

// Counts how often the desktop mode is given back.
class TCountingScreen : public THeadlessScreen {
public:
  using THeadlessScreen::THeadlessScreen;
  void RestoreDesktopMode() override {
    ++Restores;
    THeadlessScreen::RestoreDesktopMode();
  }
  int Restores = 0;
};

TCountingScreen DesktopWithMenuMode() { return TCountingScreen(800, 600, {{800, 600, 32}, Menu16}); }
TCountingScreen DesktopWithoutMenuMode() { return TCountingScreen(800, 600, {{800, 600, 32}, {1024, 768, 32}}); }

IDirectDraw* Create() {
  IDirectDraw* Object = nullptr;
  EXPECT_EQ(DirectDrawCreate(nullptr, &Object, nullptr), DD_OK);
  EXPECT_NE(Object, nullptr);
  return Object;
}

TEST(DirectDraw, ErrorCodesAreNegativeAsTheProgramReadsThem) {
  for (HRESULT Code : {DDERR_GENERIC, DDERR_OUTOFMEMORY, DDERR_INVALIDPARAMS, CLASS_E_NOAGGREGATION, DDERR_INVALIDMODE,
                       DDERR_NOEXCLUSIVEMODE, DDERR_INVALIDDIRECTDRAWGUID, DDERR_HWNDALREADYSET, DDERR_UNSUPPORTEDMODE})
    EXPECT_LT(Code, 0);
}

TEST(DirectDraw, SwitchesTo16BitMenuModeWhenTheScreenHasIt) {
  TCountingScreen Screen = DesktopWithMenuMode();
  IDirectDraw* DirectDraw = Create();
  ASSERT_EQ(DirectDraw->SetCooperativeLevel(&Screen, ExclusiveFullScreen), DD_OK);
  ASSERT_EQ(DirectDraw->SetDisplayMode(640, 480, 16), DD_OK);
  EXPECT_EQ(Screen.CurrentMode(), Menu16);
  EXPECT_EQ(Screen.Size(), (TPoint{640, 480}));
  ASSERT_NE(Screen.BackBuffer(), nullptr);
  EXPECT_EQ(Screen.BackBuffer()->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB565));
  EXPECT_EQ(Screen.BackBuffer()->w, 640);
  EXPECT_EQ(Screen.BackBuffer()->h, 480);
  DirectDraw->Release();
}

TEST(DirectDraw, RefusedModeChangesNothing) {
  TCountingScreen Screen = DesktopWithoutMenuMode();
  IDirectDraw* DirectDraw = Create();
  ASSERT_EQ(DirectDraw->SetCooperativeLevel(&Screen, ExclusiveFullScreen), DD_OK);
  const HRESULT Result = DirectDraw->SetDisplayMode(640, 480, 16);
  EXPECT_EQ(Result, DDERR_INVALIDMODE);
  EXPECT_LT(Result, 32) << "the old 8-bit retry needs a result of 32 or more";
  EXPECT_EQ(Screen.CurrentMode(), Screen.DesktopMode());
  EXPECT_EQ(Screen.BackBuffer()->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_XRGB8888));
  EXPECT_FALSE(Screen.HasPendingInput()) << "no resize: nothing changed";
  EXPECT_EQ(DirectDraw->Release(), 0u);
  EXPECT_EQ(Screen.Restores, 0) << "nothing was switched, so nothing is given back";
}

TEST(DirectDraw, LastReleaseGivesTheDesktopModeBackExactlyOnce) {
  TCountingScreen Screen = DesktopWithMenuMode();
  IDirectDraw* DirectDraw = Create();
  ASSERT_EQ(DirectDraw->SetCooperativeLevel(&Screen, ExclusiveFullScreen), DD_OK);
  ASSERT_EQ(DirectDraw->SetDisplayMode(640, 480, 16), DD_OK);
  EXPECT_EQ(DirectDraw->AddRef(), 2u);
  EXPECT_EQ(DirectDraw->Release(), 1u);
  EXPECT_EQ(Screen.Restores, 0) << "a reference is still held";
  EXPECT_EQ(Screen.CurrentMode(), Menu16);
  EXPECT_EQ(DirectDraw->Release(), 0u);
  EXPECT_EQ(Screen.Restores, 1);
  EXPECT_EQ(Screen.CurrentMode(), Screen.DesktopMode());
  EXPECT_EQ(Screen.Size(), (TPoint{800, 600}));
  EXPECT_EQ(Screen.BackBuffer()->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_XRGB8888));
}

TEST(DirectDraw, ReleasingAnObjectThatDidNotSwitchLeavesTheModeAlone) {
  TCountingScreen Screen = DesktopWithMenuMode();
  ASSERT_TRUE(Screen.SetExclusiveMode(Menu16));
  IDirectDraw* DirectDraw = Create();
  ASSERT_EQ(DirectDraw->SetCooperativeLevel(&Screen, ExclusiveFullScreen), DD_OK);
  EXPECT_EQ(DirectDraw->Release(), 0u);
  EXPECT_EQ(Screen.Restores, 0);
  EXPECT_EQ(Screen.CurrentMode(), Menu16);
}

TEST(DirectDraw, NormalLevelGivesTheModeBackAndEndsExclusiveUse) {
  TCountingScreen Screen = DesktopWithMenuMode();
  IDirectDraw* DirectDraw = Create();
  ASSERT_EQ(DirectDraw->SetCooperativeLevel(&Screen, ExclusiveFullScreen), DD_OK);
  ASSERT_EQ(DirectDraw->SetDisplayMode(640, 480, 16), DD_OK);
  EXPECT_EQ(DirectDraw->SetCooperativeLevel(&Screen, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(Screen.Restores, 1);
  EXPECT_EQ(Screen.CurrentMode(), Screen.DesktopMode());
  EXPECT_EQ(DirectDraw->SetDisplayMode(640, 480, 16), DDERR_NOEXCLUSIVEMODE);
  DirectDraw->Release();
  EXPECT_EQ(Screen.Restores, 1) << "already given back";
}

TEST(DirectDraw, DisplayModeNeedsTheExclusiveLevel) {
  TCountingScreen Screen = DesktopWithMenuMode();
  IDirectDraw* DirectDraw = Create();
  EXPECT_EQ(DirectDraw->SetDisplayMode(640, 480, 16), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(Screen.CurrentMode(), Screen.DesktopMode());
  DirectDraw->Release();
}

TEST(DirectDraw, CooperativeLevelArguments) {
  struct TCase {
    uint32_t Flags;
    bool WithWindow;
    HRESULT Expected;
  };
  const TCase Cases[] = {
      {ExclusiveFullScreen, true, DD_OK},
      {ExclusiveFullScreen | DDSCL_ALLOWREBOOT, true, DD_OK},
      {DDSCL_NORMAL, true, DD_OK},
      {DDSCL_NORMAL, false, DD_OK},
      {ExclusiveFullScreen, false, DDERR_INVALIDPARAMS},
      {DDSCL_EXCLUSIVE, true, DDERR_INVALIDPARAMS},
      {DDSCL_FULLSCREEN, true, DDERR_INVALIDPARAMS},
      {DDSCL_NORMAL | ExclusiveFullScreen, true, DDERR_INVALIDPARAMS},
      {0, true, DDERR_INVALIDPARAMS},
      {ExclusiveFullScreen | 0x8000, true, DDERR_INVALIDPARAMS},
  };
  for (const TCase& Case : Cases) {
    TCountingScreen Screen = DesktopWithMenuMode();
    IDirectDraw* DirectDraw = Create();
    EXPECT_EQ(DirectDraw->SetCooperativeLevel(Case.WithWindow ? &Screen : nullptr, Case.Flags), Case.Expected)
        << "flags " << Case.Flags << (Case.WithWindow ? " with" : " without") << " a window";
    DirectDraw->Release();
  }
}

TEST(DirectDraw, ExclusiveLevelBelongsToOneWindow) {
  TCountingScreen First = DesktopWithMenuMode();
  TCountingScreen Second = DesktopWithMenuMode();
  IDirectDraw* DirectDraw = Create();
  ASSERT_EQ(DirectDraw->SetCooperativeLevel(&First, ExclusiveFullScreen), DD_OK);
  EXPECT_EQ(DirectDraw->SetCooperativeLevel(&First, ExclusiveFullScreen), DD_OK);
  EXPECT_EQ(DirectDraw->SetCooperativeLevel(&Second, ExclusiveFullScreen), DDERR_HWNDALREADYSET);
  DirectDraw->Release();
}

TEST(DirectDraw, DisplayModeArguments) {
  struct TCase {
    uint32_t Width, Height, BitsPerPixel;
    HRESULT Expected;
  };
  const TCase Cases[] = {
      {0, 480, 16, DDERR_INVALIDPARAMS},
      {640, 0, 16, DDERR_INVALIDPARAMS},
      {640, 480, 0, DDERR_INVALIDPARAMS},
      {640, 480, 33, DDERR_INVALIDPARAMS},
      {0x80000000u, 480, 16, DDERR_INVALIDPARAMS},
      {640, 0xFFFFFFFFu, 16, DDERR_INVALIDPARAMS},
      {640, 480, 8, DDERR_INVALIDMODE},
      {800, 600, 16, DDERR_INVALIDMODE},
      {640, 480, 16, DD_OK},
  };
  for (const TCase& Case : Cases) {
    TCountingScreen Screen = DesktopWithMenuMode();
    IDirectDraw* DirectDraw = Create();
    ASSERT_EQ(DirectDraw->SetCooperativeLevel(&Screen, ExclusiveFullScreen), DD_OK);
    EXPECT_EQ(DirectDraw->SetDisplayMode(Case.Width, Case.Height, Case.BitsPerPixel), Case.Expected)
        << Case.Width << "x" << Case.Height << "x" << Case.BitsPerPixel;
    if (Case.Expected != DD_OK) {
      EXPECT_EQ(Screen.CurrentMode(), Screen.DesktopMode());
    }
    DirectDraw->Release();
  }
}

TEST(DirectDraw, CreateArguments) {
  IDirectDraw* Object = reinterpret_cast<IDirectDraw*>(0x1);
  int Outer = 0;
  EXPECT_EQ(DirectDrawCreate(nullptr, &Object, &Outer), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(Object, nullptr);
  const char SomeDriver[16] = {1};
  Object = reinterpret_cast<IDirectDraw*>(0x1);
  EXPECT_EQ(DirectDrawCreate(SomeDriver, &Object, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
  EXPECT_EQ(Object, nullptr);
  EXPECT_EQ(DirectDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

}  // namespace
