// Pictures: loading bitmap files written here (true-colour and 8-bit paletted), the errors of
// files that cannot be used, which keep what the picture held, change events, shared pixels
// and the palette-modified flag.
#include "TestPictures.h"

#include "forms/Picture.h"
#include "os/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace TestPictures;

const std::vector<uint32_t> PaletteColours{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x102030, 0xF0E0D0};

class PictureFixture : public testing::Test {
protected:
  PictureFixture() {
    Picture.OnChange = [this](TObject* Sender) {
      ++Changes;
      LastSender = Sender;
    };
    SaveBitmapFile(PatternSurface(13, 7, 1).get(), TrueColourFile);
    SaveBitmapFile(PalettedSurface(9, 5, PaletteColours).get(), PalettedFile);
  }

  TTempFolder Folder;
  const std::string TrueColourFile = Folder.File("truecolour.bmp");
  const std::string PalettedFile = Folder.File("paletted.bmp");
  TPicture Picture;
  int Changes = 0;
  TObject* LastSender = nullptr;
};

TEST_F(PictureFixture, LoadsATrueColourBitmapFile) {
  Picture.LoadFromFile(TrueColourFile);

  ASSERT_TRUE(Picture.HasGraphic());
  const TBitmap& Bitmap = Picture.Bitmap();
  ASSERT_EQ(Bitmap.Width(), 13);
  ASSERT_EQ(Bitmap.Height(), 7);
  EXPECT_EQ(Bitmap.Palette(), nullptr);
  for (int32_t Y = 0; Y < 7; ++Y)
    for (int32_t X = 0; X < 13; ++X)
      ASSERT_EQ(SurfaceRgb(Bitmap.Pixels().get(), X, Y), PatternRgb(X, Y, 1)) << X << "," << Y;
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(LastSender, &Picture);
}

TEST_F(PictureFixture, LoadsAPalettedBitmapFileWithItsPalette) {
  Picture.LoadFromFile(PalettedFile);

  ASSERT_TRUE(Picture.HasGraphic());
  const TBitmap& Bitmap = Picture.Bitmap();
  ASSERT_EQ(Bitmap.Width(), 9);
  ASSERT_EQ(Bitmap.Height(), 5);
  const HPALETTE Palette = Bitmap.Palette();
  ASSERT_NE(Palette, nullptr);
  ASSERT_GE(Palette->ncolors, static_cast<int>(PaletteColours.size()));
  for (size_t I = 0; I < PaletteColours.size(); ++I) {
    const SDL_Color& Entry = Palette->colors[I];
    EXPECT_EQ((static_cast<uint32_t>(Entry.r) << 16) | (static_cast<uint32_t>(Entry.g) << 8) | Entry.b,
              PaletteColours[I])
        << "entry " << I;
  }
  for (int32_t Y = 0; Y < 5; ++Y)
    for (int32_t X = 0; X < 9; ++X)
      ASSERT_EQ(SurfaceRgb(Bitmap.Pixels().get(), X, Y), PaletteColours[static_cast<size_t>((X + Y) % 6)]);
  EXPECT_EQ(Changes, 1);
}

TEST_F(PictureFixture, LoadingSetsThePaletteModifiedFlag) {
  for (const std::string& File : {PalettedFile, TrueColourFile}) {
    TPicture Loaded;
    Loaded.LoadFromFile(File);
    EXPECT_TRUE(Loaded.Bitmap().PaletteModified()) << File;
  }
}

TEST_F(PictureFixture, TheExtensionIsMatchedWithoutCase) {
  const std::string Upper = Folder.File("UPPER.BMP");
  std::filesystem::copy_file(TrueColourFile, Upper);

  Picture.LoadFromFile(Upper);

  EXPECT_EQ(Picture.Bitmap().Width(), 13);
}

struct TBadFileCase {
  const char* Name;
  const char* FileName;
  enum { Copy, Garbage, Missing, Folder } Content;
  const char* Message;  // "" when only the class matters
  bool OpenError;
};

class PictureLoadFailureTest : public PictureFixture, public testing::WithParamInterface<TBadFileCase> {};

TEST_P(PictureLoadFailureTest, FailsAndKeepsWhatThePictureHeld) {
  const TBadFileCase& Case = GetParam();
  const std::string File = Folder.File(Case.FileName);
  switch (Case.Content) {
    case TBadFileCase::Copy:
      std::filesystem::create_directories(std::filesystem::path(File).parent_path());
      std::filesystem::copy_file(TrueColourFile, File);
      break;
    case TBadFileCase::Garbage: std::ofstream(File) << "BM this is no picture at all"; break;
    case TBadFileCase::Folder: std::filesystem::create_directory(File); break;
    case TBadFileCase::Missing: break;
  }
  Picture.LoadFromFile(PalettedFile);
  const TSurfacePtr Held = Picture.Bitmap().Pixels();
  Changes = 0;

  try {
    Picture.LoadFromFile(File);
    FAIL() << "the file was accepted";
  } catch (const EFOpenError& E) {
    EXPECT_TRUE(Case.OpenError) << E.what();
    EXPECT_EQ(E.what(), std::string(Case.Message) + File);
  } catch (const EInvalidGraphic& E) {
    EXPECT_FALSE(Case.OpenError) << E.what();
    if (*Case.Message) {
      EXPECT_EQ(E.what(), std::string(Case.Message));
    }
  }

  EXPECT_EQ(Picture.Bitmap().Pixels(), Held);
  EXPECT_EQ(Changes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PictureLoadFailureTest,
    testing::Values(TBadFileCase{"OtherExtension", "picture.png", TBadFileCase::Copy, "", false},
                    TBadFileCase{"NoExtension", "picture", TBadFileCase::Copy, "", false},
                    TBadFileCase{"BmpOnlyInTheFolderName", "pictures.bmp/picture", TBadFileCase::Copy, "", false},
                    TBadFileCase{"Garbage", "garbage.bmp", TBadFileCase::Garbage, "Bitmap image is not valid", false},
                    TBadFileCase{"Missing", "missing.bmp", TBadFileCase::Missing, "Cannot open file ", true},
                    TBadFileCase{"AFolder", "folder.bmp", TBadFileCase::Folder, "Cannot open file ", true}),
    [](const testing::TestParamInfo<TBadFileCase>& Info) { return std::string(Info.param.Name); });

TEST_F(PictureFixture, AssignSharesThePixelsAndReportsTheChange) {
  TPicture Source;
  Source.LoadFromFile(PalettedFile);

  Picture.Assign(Source);

  ASSERT_TRUE(Picture.HasGraphic());
  EXPECT_EQ(Picture.Bitmap().Pixels(), Source.Bitmap().Pixels());
  EXPECT_EQ(Picture.Bitmap().Palette(), Source.Bitmap().Palette());
  EXPECT_NE(Picture.Graphic(), Source.Graphic()) << "the picture holds a graphic of its own";
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(LastSender, &Picture);
}

TEST_F(PictureFixture, AssigningAnEmptyPictureEmptiesItAndReportsTheChange) {
  Picture.LoadFromFile(TrueColourFile);
  TPicture Empty;

  Picture.Assign(Empty);

  EXPECT_FALSE(Picture.HasGraphic());
  EXPECT_TRUE(Picture.Bitmap().Empty());
  EXPECT_EQ(Changes, 2);
}

TEST_F(PictureFixture, CopiesOfABitmapShareItsPixelsAndDrawThem) {
  Picture.LoadFromFile(TrueColourFile);
  TBitmap Copy(Picture.Bitmap());
  TPicture Other;
  Other.SetBitmap(Copy);

  EXPECT_EQ(Copy.Pixels(), Picture.Bitmap().Pixels());
  EXPECT_EQ(Other.Bitmap().Pixels(), Picture.Bitmap().Pixels());
  // A copy's canvas draws from the shared pixels.
  EXPECT_EQ(Other.Bitmap().Canvas().Target(), Picture.Bitmap().Pixels().get());
}

TEST_F(PictureFixture, AssignKeepsThePaletteModifiedFlagOfTheSource) {
  TPicture Source;
  Source.LoadFromFile(PalettedFile);
  TPicture Settled;
  Settled.Assign(Source);
  Settled.Bitmap().SetPaletteModified(false);

  Picture.Assign(Source);
  EXPECT_TRUE(Picture.Bitmap().PaletteModified());
  Picture.Assign(Settled);
  EXPECT_FALSE(Picture.Bitmap().PaletteModified());
  EXPECT_TRUE(Source.Bitmap().PaletteModified()) << "each picture has a flag of its own";
}

TEST_F(PictureFixture, AnEmptyPictureHandsOutAnEmptyBitmap) {
  EXPECT_FALSE(Picture.HasGraphic());
  EXPECT_EQ(Picture.Graphic(), nullptr);
  EXPECT_TRUE(Picture.Bitmap().Empty());
  EXPECT_EQ(Picture.Bitmap().Width(), 0);
  EXPECT_EQ(Picture.Bitmap().Palette(), nullptr);
  EXPECT_EQ(Changes, 0);
}

}  // namespace
