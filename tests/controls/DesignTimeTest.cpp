// At design time the picture-map controls show where they are: the container draws a dashed
// outline, and a button shows its rectangle of the highlighted picture inside a white frame.
#include "PictureMapFixture.h"

#include <gtest/gtest.h>

namespace {

TEST_F(PictureMapFixture, ADesignTimeButtonShowsTheHighlightedPictureInAWhiteTwoPixelFrame) {
  const std::vector<uint32_t> Before = TestScreen::Frame(Headless);
  const TRect Rect = OnScreen(*First);
  const TRect Inside{Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2};

  First->SetDesigning(true);
  First->Invalidate();
  App.ProcessMessages();

  EXPECT_TRUE(ScreenShows([&](int32_t X, int32_t Y) {
    const TPoint P{X, Y};
    if (Rect.Contains(P) && !Inside.Contains(P)) return 0xFFFFFFu;
    return Expected({Inside})(X, Y);
  }));
  EXPECT_EQ(TestScreen::ChangedOutside(Before, TestScreen::Frame(Headless), 800, Rect), 0);
  EXPECT_FALSE(First->MouseInside()) << "the highlight comes from design time, not from the mouse";
}

TEST_F(PictureMapFixture, AnEmptyDesignTimeContainerShowsADashedOutlineOnWhatLiesBeneath) {
  First->Hide();
  Second->Hide();
  Container->Picture1().SetBitmap(TBitmap());  // what a layout stores: an empty bitmap
  Container->SetDesigning(true);
  Container->Invalidate();
  App.ProcessMessages();

  const TRect& R = ContainerOnScreen;
  const TRect Inside{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  struct TSide {
    TPoint Start;
    TPoint Step;
    int32_t Length;
  };
  for (const TSide& Side : {TSide{{R.Left, R.Top}, {1, 0}, R.Width()}, TSide{{R.Left, R.Bottom - 1}, {1, 0}, R.Width()},
                            TSide{{R.Left, R.Top}, {0, 1}, R.Height()}, TSide{{R.Right - 1, R.Top}, {0, 1}, R.Height()}}) {
    int32_t Dash = 0, LongestDash = 0, Gaps = 0, Other = 0;
    for (int32_t I = 0; I < Side.Length; ++I) {
      const uint32_t Pixel = Headless.Pixel(Side.Start.X + I * Side.Step.X, Side.Start.Y + I * Side.Step.Y);
      Dash = Pixel == 0x000000 ? Dash + 1 : 0;
      LongestDash = std::max(LongestDash, Dash);
      Gaps += Pixel == FormRgb;
      Other += Pixel != 0x000000 && Pixel != FormRgb;
    }
    EXPECT_GE(LongestDash, 3) << "side from " << Side.Start.X << "," << Side.Start.Y;
    EXPECT_LT(LongestDash, Side.Length / 4) << "side from " << Side.Start.X << "," << Side.Start.Y;
    EXPECT_GT(Gaps, Side.Length / 6) << "side from " << Side.Start.X << "," << Side.Start.Y;
    EXPECT_EQ(Other, 0);
  }
  EXPECT_TRUE(ScreenShows([&](int32_t X, int32_t Y) {
    const TPoint P{X, Y};
    if (R.Contains(P) && !Inside.Contains(P)) return Headless.Pixel(X, Y);  // the outline, checked above
    return ContainerOnScreen.Contains(P) ? FormRgb : Expected({})(X, Y);
  }));
}

TEST_F(PictureMapFixture, ADesignTimeContainerPaintsItsPictureOverTheOutline) {
  First->Hide();
  Second->Hide();
  Container->SetDesigning(true);
  Container->Invalidate();
  App.ProcessMessages();

  EXPECT_TRUE(ScreenShows(Expected({})));
}

}  // namespace
