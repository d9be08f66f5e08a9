#include "os/Exceptions.h"
#include "os/FontLibrary.h"
#include "os/Surface.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int32_t DialogFontHeight = 11;

TSurfacePtr BlackSurface(int32_t Width, int32_t Height, Uint32 Format) {
  TSurfacePtr Surface = AdoptSurface(SDL_CreateRGBSurfaceWithFormat(0, Width, Height, SDL_BITSPERPIXEL(Format), Format));
  if (!Surface) throw std::bad_alloc();
  SDL_FillRect(Surface.get(), nullptr, 0);
  return Surface;
}

uint32_t RawPixel(const SDL_Surface* Surface, int32_t X, int32_t Y) {
  const auto* Row = static_cast<const uint8_t*>(Surface->pixels) + Y * Surface->pitch;
  if (Surface->format->BytesPerPixel == 2) return reinterpret_cast<const uint16_t*>(Row)[X];
  return reinterpret_cast<const uint32_t*>(Row)[X];
}

uint32_t MappedColor(const SDL_Surface* Surface, uint32_t ColorRgb) {
  return SDL_MapRGB(Surface->format, (ColorRgb >> 16) & 0xFF, (ColorRgb >> 8) & 0xFF, ColorRgb & 0xFF);
}

int CountPixels(const SDL_Surface* Surface, uint32_t Raw) {
  int Count = 0;
  for (int32_t Y = 0; Y < Surface->h; ++Y)
    for (int32_t X = 0; X < Surface->w; ++X) Count += RawPixel(Surface, X, Y) == Raw;
  return Count;
}

class TFontLibraryTest : public testing::Test {
protected:
  TFontLibrary FLibrary;
};

// The layouts were made with the old platform's dialog font; their label sizes hold only when
// that name reaches Liberation Sans and not fontconfig's own choice.
TEST_F(TFontLibraryTest, NamesResolveToTheExpectedFamiliesAndSizes) {
  struct TCase {
    std::string Name;
    std::string Family;
    TPoint VersionExtent;  // of "v1.0"
  };
  const std::vector<TCase> Cases = {
      {"MS Sans Serif", "Liberation Sans", {21, 13}},
      {"MS Shell Dlg", "Liberation Sans", {21, 13}},
      // The system's own rules stay in force beside the shipped aliases.
      {"Arial", "Liberation Sans", {21, 13}},
      {"DejaVu Sans", "DejaVu Sans", {25, 13}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TFontFace& Face = FLibrary.Face(Case.Name, DialogFontHeight);
    EXPECT_EQ(Face.FamilyName(), Case.Family);
    EXPECT_EQ(Face.TextExtent("v1.0"), Case.VersionExtent);
    EXPECT_EQ(Face.Height(), Case.VersionExtent.Y);
  }
}

TEST_F(TFontLibraryTest, UnknownNameGetsTheSubstituteFont) {
  const TFontFace& Face = FLibrary.Face("No Such Typeface At All", DialogFontHeight);
  EXPECT_FALSE(Face.FamilyName().empty());
  EXPECT_GT(Face.TextExtent("v1.0").X, 0);
}

TEST_F(TFontLibraryTest, FacesAreOpenedOncePerNameHeightAndWeight) {
  const TFontFace& Regular = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  EXPECT_EQ(&FLibrary.Face("MS Sans Serif", DialogFontHeight), &Regular);
  EXPECT_EQ(&FLibrary.Face("MS Sans Serif", DialogFontHeight, false), &Regular);
  EXPECT_NE(&FLibrary.Face("MS Sans Serif", DialogFontHeight + 1), &Regular);
  EXPECT_NE(&FLibrary.Face("MS Sans Serif", DialogFontHeight, true), &Regular);
  EXPECT_NE(&FLibrary.Face("DejaVu Sans", DialogFontHeight), &Regular);
  // Opening more faces must not move the ones handed out before.
  EXPECT_EQ(&FLibrary.Face("MS Sans Serif", DialogFontHeight), &Regular);
}

TEST_F(TFontLibraryTest, HeightSetsTheEmSize) {
  const TFontFace& Small = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  const TFontFace& Large = FLibrary.Face("MS Sans Serif", 2 * DialogFontHeight);
  EXPECT_GT(Large.Height(), Small.Height());
  EXPECT_GT(Large.TextExtent("v1.0").X, Small.TextExtent("v1.0").X);
  EXPECT_GT(Small.Ascent(), 0);
  EXPECT_LE(Small.Ascent(), Small.Height());
}

TEST_F(TFontLibraryTest, HeightsThatAreNoSizeAreRefused) {
  for (int32_t Height : {0, -DialogFontHeight}) {
    SCOPED_TRACE(Height);
    EXPECT_THROW(FLibrary.Face("MS Sans Serif", Height), Exception);
  }
}

TEST_F(TFontLibraryTest, BoldDrawsHeavierStrokesInTheSameFamily) {
  const TFontFace& Regular = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  const TFontFace& Bold = FLibrary.Face("MS Sans Serif", DialogFontHeight, true);
  EXPECT_EQ(Bold.FamilyName(), Regular.FamilyName());
  const TSurfacePtr RegularText = BlackSurface(60, 20, SDL_PIXELFORMAT_XRGB8888);
  const TSurfacePtr BoldText = BlackSurface(60, 20, SDL_PIXELFORMAT_XRGB8888);
  Regular.DrawText(RegularText.get(), 0, 0, "Exit", 0xFFFFFF, {0, 0, 60, 20});
  Bold.DrawText(BoldText.get(), 0, 0, "Exit", 0xFFFFFF, {0, 0, 60, 20});
  EXPECT_GT(CountPixels(BoldText.get(), 0xFFFFFF), CountPixels(RegularText.get(), 0xFFFFFF));
}

// Every drawing is compared with one reference drawing made well inside a large surface: a
// clipped or shifted drawing must show exactly the reference's pixels where it may draw, and
// black everywhere else.
TEST_F(TFontLibraryTest, DrawsSolidTextOnlyInsideClipSurfaceAndExtent) {
  const TFontFace& Face = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  const std::string Text = "v1.0 Options";
  const TPoint Extent = Face.TextExtent(Text);
  constexpr int32_t Width = 80;
  constexpr int32_t Height = 30;
  const TRect Whole{0, 0, Width, Height};

  struct TCase {
    const char* What;
    TPoint Origin;
    TRect Clip;
  };
  const std::vector<TCase> Cases = {
      {"unclipped", {5, 7}, Whole},
      {"clip through the text", {5, 7}, {12, 9, 30, 16}},
      {"clip larger than the surface", {5, 7}, {-100, -100, 500, 500}},
      {"text over the left and top edges", {-9, -4}, Whole},
      {"text over the right and bottom edges", {Width - Extent.X / 2, Height - 6}, Whole},
      {"clip beside the text", {5, 7}, {0, 0, 5, Height}},
      {"empty clip", {5, 7}, {20, 10, 20, 20}},
      {"text outside the surface", {Width + 3, 0}, Whole},
  };
  const std::vector<Uint32> Formats = {SDL_PIXELFORMAT_XRGB8888, SDL_PIXELFORMAT_RGB565};
  // Pure colours, one exact in RGB565 and one that 16 bits must round.
  const std::vector<uint32_t> Colors = {0xFFFFFF, 0xF800F8, 0x123456};

  for (Uint32 Format : Formats) {
    for (uint32_t Color : Colors) {
      const TPoint ReferenceOrigin{20, 20};
      const TSurfacePtr Reference =
          BlackSurface(Extent.X + 2 * ReferenceOrigin.X, Extent.Y + 2 * ReferenceOrigin.Y, Format);
      Face.DrawText(Reference.get(), ReferenceOrigin.X, ReferenceOrigin.Y, Text, Color,
                    {0, 0, Reference->w, Reference->h});
      const uint32_t Ink = MappedColor(Reference.get(), Color);
      ASSERT_GT(CountPixels(Reference.get(), Ink), 0);
      ASSERT_EQ(CountPixels(Reference.get(), Ink) + CountPixels(Reference.get(), 0), Reference->w * Reference->h)
          << "solid text has no shades between the colour and the background";

      for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(SDL_GetPixelFormatName(Format)) + " " + std::to_string(Color) + " " + Case.What);
        const TSurfacePtr Target = BlackSurface(Width, Height, Format);
        Face.DrawText(Target.get(), Case.Origin.X, Case.Origin.Y, Text, Color, Case.Clip);
        const TRect Allowed = Case.Clip.Intersection(Whole).Intersection(Bounds(Case.Origin.X, Case.Origin.Y, Extent.X, Extent.Y));
        int Mismatches = 0;
        for (int32_t Y = 0; Y < Height; ++Y) {
          for (int32_t X = 0; X < Width; ++X) {
            uint32_t Expected = 0;
            if (Allowed.Contains(TPoint{X, Y}))
              Expected = RawPixel(Reference.get(), X - Case.Origin.X + ReferenceOrigin.X, Y - Case.Origin.Y + ReferenceOrigin.Y);
            if (RawPixel(Target.get(), X, Y) != Expected && ++Mismatches <= 3)
              ADD_FAILURE() << "pixel " << X << "," << Y << " is " << RawPixel(Target.get(), X, Y) << ", expected "
                            << Expected;
          }
        }
        EXPECT_EQ(Mismatches, 0);
      }
    }
  }
}

TEST_F(TFontLibraryTest, DrawingKeepsAndHonoursTheTargetsClipRectangle) {
  const TFontFace& Face = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  const TSurfacePtr Target = BlackSurface(60, 20, SDL_PIXELFORMAT_XRGB8888);
  const SDL_Rect TargetClip{0, 0, 10, 20};
  SDL_SetClipRect(Target.get(), &TargetClip);
  Face.DrawText(Target.get(), 0, 0, "v1.0 Options", 0xFFFFFF, {0, 0, 60, 20});
  SDL_Rect After;
  SDL_GetClipRect(Target.get(), &After);
  EXPECT_TRUE(SDL_RectEquals(&After, &TargetClip));
  int Outside = 0;
  for (int32_t Y = 0; Y < 20; ++Y)
    for (int32_t X = TargetClip.w; X < 60; ++X) Outside += RawPixel(Target.get(), X, Y) != 0;
  EXPECT_EQ(Outside, 0);
  EXPECT_GT(CountPixels(Target.get(), 0xFFFFFF), 0);
}

TEST_F(TFontLibraryTest, EmptyTextHasNoWidthAndDrawsNothing) {
  const TFontFace& Face = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  EXPECT_EQ(Face.TextExtent(""), (TPoint{0, Face.Height()}));
  const TSurfacePtr Target = BlackSurface(20, 20, SDL_PIXELFORMAT_XRGB8888);
  Face.DrawText(Target.get(), 2, 2, "", 0xFFFFFF, {0, 0, 20, 20});
  EXPECT_EQ(CountPixels(Target.get(), 0), 20 * 20);
}

TEST_F(TFontLibraryTest, InvalidUtf8IsMeasuredAndDrawnInsideItsExtent) {
  const TFontFace& Face = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  const std::vector<std::string> Texts = {
      "\xFF\xFE",          // bytes that never occur in UTF-8
      "v1\xC3",            // a sequence cut off at the end
      "\xC0\xAF",          // an overlong encoding
      "\xED\xA0\x80",      // a surrogate
      "\xF0\x9F\x98",      // a four-byte sequence cut short
      "\x80\x80\x80 ok",   // continuation bytes without a start
      "\xF4\x90\x80\x80",  // beyond the last code point
  };
  for (const std::string& Text : Texts) {
    SCOPED_TRACE(testing::PrintToString(Text));
    const TPoint Extent = Face.TextExtent(Text);
    EXPECT_EQ(Extent.Y, Face.Height());
    const TSurfacePtr Target = BlackSurface(Extent.X + 8, Extent.Y + 8, SDL_PIXELFORMAT_RGB565);
    Face.DrawText(Target.get(), 4, 4, Text, 0xFFFFFF, {0, 0, Target->w, Target->h});
    const TRect TextRect = Bounds(4, 4, Extent.X, Extent.Y);
    int Outside = 0;
    for (int32_t Y = 0; Y < Target->h; ++Y)
      for (int32_t X = 0; X < Target->w; ++X) Outside += !TextRect.Contains(TPoint{X, Y}) && RawPixel(Target.get(), X, Y);
    EXPECT_EQ(Outside, 0);
  }
}

TEST_F(TFontLibraryTest, FacesOutliveAnotherLibrarysEnd) {
  const TFontFace& Face = FLibrary.Face("MS Sans Serif", DialogFontHeight);
  { TFontLibrary Other; Other.Face("DejaVu Sans", DialogFontHeight); }
  // The other library's end must not shut the font renderer down under this one.
  const TSurfacePtr Target = BlackSurface(40, 20, SDL_PIXELFORMAT_XRGB8888);
  Face.DrawText(Target.get(), 0, 0, "v1.0", 0xFFFFFF, {0, 0, 40, 20});
  EXPECT_GT(CountPixels(Target.get(), 0xFFFFFF), 0);
  EXPECT_EQ(FLibrary.Face("Arial", DialogFontHeight).TextExtent("v1.0"), (TPoint{21, 13}));
}

class TFontConfigFile {
public:
  explicit TFontConfigFile(const std::string& Text)
      : FPath(std::filesystem::path(testing::TempDir()) /
              ("fonts-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".conf")) {
    std::ofstream(FPath) << Text;
  }
  ~TFontConfigFile() { std::filesystem::remove(FPath); }
  std::string Path() const { return FPath.string(); }

private:
  std::filesystem::path FPath;
};

// A locale's language otherwise outranks a family named by a weak alias, and a Japanese desktop
// would draw the dialogs in a CJK font (where one is installed).
TEST(TFontLibraryOnOtherLocales, DialogFontsStayLiberationSansWhenTheLanguageAsksForOtherFonts) {
  // A relative include is looked up in fontconfig's own configuration folder.
  const TFontConfigFile Config(
      "<?xml version=\"1.0\"?>\n<fontconfig>\n  <include>fonts.conf</include>\n"
      "  <match target=\"pattern\"><edit name=\"lang\" mode=\"assign\"><string>ja</string></edit></match>\n"
      "</fontconfig>\n");
  TFontLibrary Library(Config.Path());
  for (const char* Name : {"MS Sans Serif", "MS Shell Dlg"}) {
    SCOPED_TRACE(Name);
    EXPECT_EQ(Library.Face(Name, DialogFontHeight).FamilyName(), "Liberation Sans");
  }
}

TEST(TFontLibraryWithoutFonts, NamingAFontThrowsAClearError) {
  const TFontConfigFile Config("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
  TFontLibrary Library(Config.Path());
  try {
    Library.Face("MS Sans Serif", DialogFontHeight);
    FAIL() << "a library without fonts gave a face";
  } catch (const Exception& Error) {
    EXPECT_EQ(Error.Message(), "Font \"MS Sans Serif\" is not installed");
  }
}

TEST(TFontLibraryWithoutFonts, MissingConfigurationFileThrows) {
  const std::string Path = (std::filesystem::path(testing::TempDir()) / "no-such-fonts.conf").string();
  EXPECT_THROW(TFontLibrary{Path}, Exception);
}

}  // namespace
