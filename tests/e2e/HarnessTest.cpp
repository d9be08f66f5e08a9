// Checks of the harness's own helpers that the end-to-end tests build on, where a mistake would
// make those tests pass or fail for the wrong reason.
#include "e2e/MenuHarness.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(HarnessTest, PlainPicturesAreDistinctColoursThatA16BitScreenShowsUnchanged) {
  const TRgb Colours[] = {PlainPictures.Menu1, PlainPictures.Menu2, PlainPictures.Credits1, PlainPictures.Credits2,
                          Black};
  for (const TRgb& Colour : Colours) {
    EXPECT_TRUE(ShowsUnchangedIn16Bit(Colour)) << ::testing::PrintToString(Colour);
    for (const TRgb& Other : Colours) {
      if (&Other != &Colour) {
        EXPECT_NE(Colour, Other);
      }
    }
  }
}

TEST(HarnessTest, A16BitScreenChangesColoursOffItsSteps) {
  // Navy as most pictures have it, and a green between two of the 6-bit steps.
  EXPECT_FALSE(ShowsUnchangedIn16Bit(TRgb{0x000080}));
  EXPECT_FALSE(ShowsUnchangedIn16Bit(TRgb{0x008300}));
}

TEST(HarnessTest, BmpWriterAndScreenImageAgreeOnWhereEachPixelLies) {
  // A picture whose every pixel names its own place, written as a BMP (bottom-up rows) and read
  // back through the PPM reader (top-down rows) after converting with ImageMagick.
  auto PixelAt = [](int X, int Y) { return TRgb{static_cast<uint32_t>(X * 0x10000 + Y * 0x100 + (X + Y))}; };
  const TTempFolder Folder("menu-harness-");
  {
    std::ofstream File(Folder.Path() / "picture.bmp", std::ios::binary);
    File << BmpFromPixels(7, 5, PixelAt);  // 7 pixels: rows need padding
  }
  const TCommandResult Converted =
      RunCommand({"convert", (Folder.Path() / "picture.bmp").string(), "-depth", "8", "ppm:-"},
                 TEnvironment::Inherited(), std::chrono::seconds(30));
  ASSERT_TRUE(Converted.Succeeded()) << Converted.Errors;
  const TScreenImage Image = TScreenImage::FromPpm(Converted.Output);
  ASSERT_EQ(Image.Width(), 7);
  ASSERT_EQ(Image.Height(), 5);
  for (int Y = 0; Y < 5; ++Y)
    for (int X = 0; X < 7; ++X) EXPECT_EQ(Image.Pixel(X, Y), PixelAt(X, Y)) << X << "," << Y;
}

}  // namespace
