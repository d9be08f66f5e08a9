// PaintBitmapPart on a plain canvas: the copy lands where asked, a bitmap without a palette makes
// no palette calls, one with a palette selects it as a background palette, realizes it and gives
// the target back the palette it had.
#include "forms/TestPictures.h"

#include "controls/MatContainer1.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace TestPictures;

constexpr uint32_t Marker = 0x123456;

class PaintBitmapPartFixture : public testing::Test {
protected:
  PaintBitmapPartFixture() : Target(NewSurface(30, 20)) {
    FillSurface(Target.get(), Marker);
    Canvas.Attach(Target.get(), {2, 3}, {0, 0, 30, 20});
  }

  // The part lands at Dest (seen from the canvas origin 2,3) and nothing else changes.
  void ExpectCopied(const TRect& Dest, const TPoint& SourceTopLeft, const std::function<uint32_t(int32_t, int32_t)>& Source) {
    const TRect Landed = Dest.Offset(2, 3);
    int Wrong = 0;
    for (int32_t Y = 0; Y < 20; ++Y)
      for (int32_t X = 0; X < 30; ++X) {
        const uint32_t Want = Landed.Contains(TPoint{X, Y})
                                  ? Source(X - Landed.Left + SourceTopLeft.X, Y - Landed.Top + SourceTopLeft.Y)
                                  : Marker;
        Wrong += SurfaceRgb(Target.get(), X, Y) != Want;
      }
    EXPECT_EQ(Wrong, 0);
  }

  TSurfacePtr Target;
  TCanvas Canvas;
};

TEST_F(PaintBitmapPartFixture, ABitmapWithoutAPaletteIsCopiedWithNoPaletteCalls) {
  TBitmap Bitmap = PatternBitmap(16, 12, 4);

  PaintBitmapPart(Canvas, {1, 2, 9, 7}, Bitmap, {5, 3, 13, 8});

  ExpectCopied({1, 2, 9, 7}, {5, 3}, [](int32_t X, int32_t Y) { return PatternRgb(X, Y, 4); });
  EXPECT_EQ(Canvas.Handle()->SelectPaletteCalls, 0);
  EXPECT_EQ(Canvas.Handle()->RealizePaletteCalls, 0);
  EXPECT_EQ(Canvas.Handle()->SelectedPalette, nullptr);
}

TEST_F(PaintBitmapPartFixture, ABitmapWithAPaletteSelectsRealizesAndRestoresIt) {
  const std::vector<uint32_t> Colours{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  TBitmap Bitmap(PalettedSurface(16, 12, Colours));
  TBitmap Earlier(PalettedSurface(2, 2, {0x010203}));
  ASSERT_NE(Bitmap.Palette(), nullptr);
  HDC DC = Canvas.Handle();
  SelectPalette(DC, Earlier.Palette(), false);
  const int SelectsBefore = DC->SelectPaletteCalls;

  PaintBitmapPart(Canvas, {0, 0, 10, 6}, Bitmap, {3, 4, 13, 10});

  ExpectCopied({0, 0, 10, 6}, {3, 4}, [&](int32_t X, int32_t Y) { return Colours[static_cast<size_t>((X + Y) % 4)]; });
  EXPECT_EQ(DC->SelectPaletteCalls - SelectsBefore, 2) << "selected, then the earlier one selected back";
  EXPECT_EQ(DC->RealizePaletteCalls, 1);
  EXPECT_EQ(DC->SelectedPalette, Earlier.Palette()) << "the target's palette is as it was";
  EXPECT_TRUE(DC->SelectedAsBackground);
}

TEST_F(PaintBitmapPartFixture, WithNoPaletteSelectedBeforeNoneIsSelectedAfter) {
  TBitmap Bitmap(PalettedSurface(8, 8, {0x00FF00, 0xFF00FF}));

  PaintBitmapPart(Canvas, {0, 0, 8, 8}, Bitmap, {0, 0, 8, 8});

  EXPECT_EQ(Canvas.Handle()->SelectedPalette, nullptr);
  EXPECT_EQ(Canvas.Handle()->SelectPaletteCalls, 2);
  EXPECT_EQ(Canvas.Handle()->RealizePaletteCalls, 1);
}

}  // namespace
