// The canvas on plain surfaces: copies 1:1 and stretched land where they should and stay inside
// the clip, parts of a source outside its surface show black, broken pens draw dashes, and text
// stays inside the clip.
#include "TestPictures.h"
#include "TestScreen.h"

#include "forms/Application.h"
#include "forms/Canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

using namespace TestPictures;

constexpr uint32_t Marker = 0x123456;
constexpr int32_t SourceSeed = 3;

// The expected colour of every pixel of a surface, or a description of the first ones that differ.
testing::AssertionResult SurfaceShows(const SDL_Surface* Surface, const std::function<uint32_t(int32_t, int32_t)>& Expected) {
  int Wrong = 0;
  std::ostringstream Report;
  for (int32_t Y = 0; Y < Surface->h; ++Y)
    for (int32_t X = 0; X < Surface->w; ++X) {
      const uint32_t Want = Expected(X, Y), Got = SurfaceRgb(Surface, X, Y);
      if (Want == Got) continue;
      if (Wrong++ < 5) Report << " (" << X << "," << Y << "): " << std::hex << Got << " instead of " << Want << std::dec;
    }
  if (Wrong == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << Wrong << " pixels differ:" << Report.str();
}

int CountColour(const SDL_Surface* Surface, uint32_t Rgb, const TRect& Area) {
  int Count = 0;
  for (int32_t Y = std::max(0, Area.Top); Y < std::min(Surface->h, Area.Bottom); ++Y)
    for (int32_t X = std::max(0, Area.Left); X < std::min(Surface->w, Area.Right); ++X)
      Count += SurfaceRgb(Surface, X, Y) == Rgb;
  return Count;
}

TSurfacePtr MarkedSurface(int32_t Width, int32_t Height) {
  TSurfacePtr Surface = NewSurface(Width, Height);
  FillSurface(Surface.get(), Marker);
  return Surface;
}

TEST(CanvasCopyTest, OneToOneCopyLandsAtTheDestinationSeenFromTheOrigin) {
  TSurfacePtr Target = MarkedSurface(40, 30);
  TBitmap Source = PatternBitmap(8, 6, SourceSeed);
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {3, 2}, {0, 0, 40, 30});

  Canvas.CopyRect({1, 1, 6, 4}, Source.Canvas(), {2, 1, 7, 4});

  const TRect Landed{4, 3, 9, 6};
  EXPECT_TRUE(SurfaceShows(Target.get(), [&](int32_t X, int32_t Y) {
    return Landed.Contains(TPoint{X, Y}) ? PatternRgb(X - 4 + 2, Y - 3 + 1, SourceSeed) : Marker;
  }));
}

TEST(CanvasCopyTest, PalettedSourceIsCopiedInItsColours) {
  const std::vector<uint32_t> Colours{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x808080};
  TSurfacePtr Target = MarkedSurface(10, 10);
  TBitmap Source(PalettedSurface(6, 6, Colours));
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {0, 0}, {0, 0, 10, 10});

  Canvas.CopyRect({0, 0, 6, 6}, Source.Canvas(), {0, 0, 6, 6});

  EXPECT_TRUE(SurfaceShows(Target.get(), [&](int32_t X, int32_t Y) {
    return X < 6 && Y < 6 ? Colours[static_cast<size_t>((X + Y) % 5)] : Marker;
  }));
}

TEST(CanvasCopyTest, StretchedCopyScalesEachSourcePixelToABlock) {
  TSurfacePtr Target = MarkedSurface(20, 20);
  TBitmap Source = PatternBitmap(8, 6, SourceSeed);
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {1, 1}, {0, 0, 20, 20});

  Canvas.CopyRect({2, 2, 10, 8}, Source.Canvas(), {3, 2, 7, 5});

  const TRect Landed{3, 3, 11, 9};
  EXPECT_TRUE(SurfaceShows(Target.get(), [&](int32_t X, int32_t Y) {
    return Landed.Contains(TPoint{X, Y}) ? PatternRgb(3 + (X - 3) / 2, 2 + (Y - 3) / 2, SourceSeed) : Marker;
  }));
}

struct TClipCase {
  const char* Name;
  int32_t Scale;
};

class CanvasClipTest : public testing::TestWithParam<TClipCase> {};

TEST_P(CanvasClipTest, CopiesTouchOnlyPixelsInsideTheClip) {
  const int32_t Scale = GetParam().Scale;
  TSurfacePtr Target = MarkedSurface(40, 30);
  TBitmap Source = PatternBitmap(40, 30, SourceSeed);
  TCanvas Canvas;
  const TRect Clip{5, 4, 17, 13};
  Canvas.Attach(Target.get(), {2, 1}, Clip);

  Canvas.CopyRect({0, 0, 30 * Scale, 24 * Scale}, Source.Canvas(), {0, 0, 30, 24});

  EXPECT_TRUE(SurfaceShows(Target.get(), [&](int32_t X, int32_t Y) {
    if (!Clip.Contains(TPoint{X, Y})) return Marker;
    return PatternRgb((X - 2) / Scale, (Y - 1) / Scale, SourceSeed);
  }));
}

INSTANTIATE_TEST_SUITE_P(Copies, CanvasClipTest,
                         testing::Values(TClipCase{"OneToOne", 1}, TClipCase{"Stretched", 2}),
                         [](const testing::TestParamInfo<TClipCase>& Info) { return std::string(Info.param.Name); });

class CanvasOutsideSourceTest : public testing::TestWithParam<TClipCase> {};

TEST_P(CanvasOutsideSourceTest, PartsOfTheSourceOutsideItsSurfaceShowBlack) {
  const int32_t Scale = GetParam().Scale;
  TSurfacePtr Target = MarkedSurface(24, 20);
  TBitmap Source = PatternBitmap(8, 6, SourceSeed);
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {0, 0}, {0, 0, 24, 20});

  Canvas.CopyRect({1, 1, 1 + 10 * Scale, 1 + 8 * Scale}, Source.Canvas(), {-2, -3, 8, 5});

  EXPECT_TRUE(SurfaceShows(Target.get(), [&](int32_t X, int32_t Y) {
    if (X < 1 || X >= 1 + 10 * Scale || Y < 1 || Y >= 1 + 8 * Scale) return Marker;
    const int32_t SourceX = (X - 1) / Scale - 2, SourceY = (Y - 1) / Scale - 3;
    return SourceX < 0 || SourceY < 0 ? 0u : PatternRgb(SourceX, SourceY, SourceSeed);
  }));
}

INSTANTIATE_TEST_SUITE_P(Copies, CanvasOutsideSourceTest,
                         testing::Values(TClipCase{"OneToOne", 1}, TClipCase{"Stretched", 2}),
                         [](const testing::TestParamInfo<TClipCase>& Info) { return std::string(Info.param.Name); });

TEST(CanvasCopyTest, AnEmptyBitmapCopiesAsBlackInsideTheClip) {
  TSurfacePtr Target = MarkedSurface(12, 12);
  TBitmap Empty;
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {0, 0}, {0, 0, 6, 12});

  Canvas.CopyRect({2, 2, 10, 10}, Empty.Canvas(), {0, 0, 8, 8});

  EXPECT_TRUE(SurfaceShows(Target.get(), [](int32_t X, int32_t Y) {
    return X >= 2 && X < 6 && Y >= 2 && Y < 10 ? 0u : Marker;
  }));
}

TEST(CanvasPenTest, ADashedRectangleOutlinesWithDashesAndGapsAndLeavesTheInsideAlone) {
  TSurfacePtr Target = MarkedSurface(40, 30);
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {1, 1}, {0, 0, 40, 30});
  Canvas.Pen = {clRed, 1, TPenStyle::Dash};
  Canvas.Brush.Style = TBrushStyle::Clear;
  const TRect Outline{3, 2, 33, 24};  // on the target

  Canvas.Rectangle(Outline.Offset(-1, -1));

  // Nothing inside or outside the outline changes.
  EXPECT_EQ(CountColour(Target.get(), Marker, {4, 3, 32, 23}), 28 * 20);
  EXPECT_EQ(CountColour(Target.get(), 0xFF0000, {0, 0, 40, 30}),
            CountColour(Target.get(), 0xFF0000, Outline));
  EXPECT_EQ(SurfaceRgb(Target.get(), 3, 2), 0xFF0000u) << "the outline starts at the corner";
  // Every side is broken into dashes longer than dots, with gaps between them.
  struct TSide {
    TPoint Start;
    TPoint Step;
    int32_t Length;
  };
  for (const TSide& Side : {TSide{{3, 2}, {1, 0}, 30}, TSide{{3, 23}, {1, 0}, 30}, TSide{{3, 2}, {0, 1}, 22},
                            TSide{{32, 2}, {0, 1}, 22}}) {
    int32_t LongestDash = 0, LongestGap = 0, Dash = 0, Gap = 0;
    for (int32_t I = 0; I < Side.Length; ++I) {
      const bool Drawn = SurfaceRgb(Target.get(), Side.Start.X + I * Side.Step.X, Side.Start.Y + I * Side.Step.Y) == 0xFF0000;
      Dash = Drawn ? Dash + 1 : 0;
      Gap = Drawn ? 0 : Gap + 1;
      LongestDash = std::max(LongestDash, Dash);
      LongestGap = std::max(LongestGap, Gap);
    }
    EXPECT_GE(LongestDash, 3) << "side from " << Side.Start.X << "," << Side.Start.Y;
    EXPECT_GE(LongestGap, 2) << "side from " << Side.Start.X << "," << Side.Start.Y;
    EXPECT_LT(LongestDash, Side.Length);
  }
}

TEST(CanvasPenTest, ADashedRectangleStaysInsideTheClip) {
  TSurfacePtr Target = MarkedSurface(40, 30);
  TCanvas Canvas;
  Canvas.Attach(Target.get(), {0, 0}, {0, 0, 20, 30});
  Canvas.Pen = {clRed, 1, TPenStyle::Dash};
  Canvas.Brush.Style = TBrushStyle::Clear;

  Canvas.Rectangle({2, 2, 38, 28});

  EXPECT_GT(CountColour(Target.get(), 0xFF0000, {0, 0, 20, 30}), 0);
  EXPECT_EQ(CountColour(Target.get(), 0xFF0000, {20, 0, 40, 30}), 0);
}

class CanvasTextTest : public testing::Test {
protected:
  CanvasTextTest() : App(TestScreen::NewHeadless()) {}

  // Draws Text at 2,2 in red through a canvas clipped to Clip, with or without a yellow brush.
  TSurfacePtr DrawText(const std::string& Text, const TRect& Clip, bool Brush) {
    TSurfacePtr Target = MarkedSurface(120, 30);
    TCanvas Canvas;
    Canvas.Attach(Target.get(), {0, 0}, Clip);
    Canvas.Font.Color = clRed;
    Canvas.Brush = {clYellow, Brush ? TBrushStyle::Solid : TBrushStyle::Clear};
    Canvas.TextOut(2, 2, Text);
    return Target;
  }

  TApplication App;
};

TEST_F(CanvasTextTest, TextIsDrawnOnlyInsideTheClip) {
  const std::string Text = "WWWWWWWW";
  TCanvas Measure;
  const TPoint Extent = Measure.TextExtent(Text);
  ASSERT_GT(Extent.X, 20);
  const int32_t Middle = 2 + Extent.X / 2;
  const TRect Whole{0, 0, 120, 30};
  const TRect LeftHalf{0, 0, Middle, 30};
  const TRect RightHalf{Middle, 0, 120, 30};

  TSurfacePtr Unclipped = DrawText(Text, Whole, false);
  TSurfacePtr Clipped = DrawText(Text, LeftHalf, false);

  ASSERT_GT(CountColour(Unclipped.get(), 0xFF0000, RightHalf), 0) << "the text reaches into the right half";
  EXPECT_EQ(CountColour(Clipped.get(), 0xFF0000, RightHalf), 0);
  EXPECT_EQ(CountColour(Clipped.get(), Marker, RightHalf), RightHalf.Width() * RightHalf.Height());
  EXPECT_EQ(CountColour(Clipped.get(), 0xFF0000, LeftHalf), CountColour(Unclipped.get(), 0xFF0000, LeftHalf));
}

TEST_F(CanvasTextTest, TheBrushBehindTextStaysInsideTheClipToo) {
  const TRect Clip{10, 0, 30, 30};

  TSurfacePtr Target = DrawText("WWWWWWWW", Clip, true);

  EXPECT_GT(CountColour(Target.get(), 0xFFFF00, Clip), 0);
  const int32_t Outside = 120 * 30 - Clip.Width() * Clip.Height();
  EXPECT_EQ(CountColour(Target.get(), Marker, {0, 0, 120, 30}) - CountColour(Target.get(), Marker, Clip), Outside);
}

}  // namespace
