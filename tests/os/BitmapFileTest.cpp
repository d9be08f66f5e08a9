// Bitmap files are built here, byte by byte, from a small logical picture; the decoded surface must
// show that picture again. Damaged files are valid ones with one thing broken.
#include "os/BitmapFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

// Offsets of the header fields that the damaged cases change.
constexpr std::size_t PixelOffsetField = 10;
constexpr std::size_t InfoSizeField = 14;
constexpr std::size_t WidthField = 18;
constexpr std::size_t HeightField = 22;
constexpr std::size_t BitCountField = 28;
constexpr std::size_t CompressionField = 30;
constexpr std::size_t ColoursUsedField = 46;
constexpr std::size_t InfoHeaderEnd = 54;

constexpr std::uint32_t Rgb = 0;
constexpr std::uint32_t Rle8 = 1;
constexpr std::uint32_t Rle4 = 2;
constexpr std::uint32_t BitFields = 3;

struct TColour {
  std::uint8_t FRed = 0;
  std::uint8_t FGreen = 0;
  std::uint8_t FBlue = 0;
};

// A picture as palette indices, row by row from the top.
struct TIndexedPicture {
  int FWidth = 0;
  int FHeight = 0;
  std::vector<TColour> FPalette;
  std::vector<std::uint8_t> FIndices;

  std::uint8_t At(int X, int Y) const { return FIndices[static_cast<std::size_t>(Y * FWidth + X)]; }
  TColour ColourAt(int X, int Y) const { return FPalette[At(X, Y)]; }
};

// Distinct colours, and rows that start with a run of one index followed by changing indices, so
// that run-length encoding uses both its repeated and its literal runs.
TIndexedPicture MakePicture(int Width, int Height, int Colours) {
  TIndexedPicture Picture{Width, Height, {}, {}};
  for (int I = 0; I < Colours; ++I) {
    Picture.FPalette.push_back({static_cast<std::uint8_t>(I * 37 + 11), static_cast<std::uint8_t>(I * 91 + 5),
                                static_cast<std::uint8_t>(255 - I * 53)});
  }
  for (int Y = 0; Y < Height; ++Y) {
    for (int X = 0; X < Width; ++X) {
      Picture.FIndices.push_back(static_cast<std::uint8_t>((X < 4 ? Y : X * 3 + Y) % Colours));
    }
  }
  return Picture;
}

class TByteWriter {
public:
  void U8(std::uint32_t Value) { FBytes.push_back(static_cast<std::uint8_t>(Value)); }
  void U16(std::uint32_t Value) {
    U8(Value);
    U8(Value >> 8);
  }
  void U32(std::uint32_t Value) {
    U16(Value);
    U16(Value >> 16);
  }
  void Append(const TBytes& Bytes) { FBytes.insert(FBytes.end(), Bytes.begin(), Bytes.end()); }
  void PadTo(std::size_t Size) { FBytes.resize(std::max(Size, FBytes.size()), 0); }
  std::size_t Size() const { return FBytes.size(); }
  TBytes Take() { return std::move(FBytes); }

private:
  TBytes FBytes;
};

struct TBitmapFileSpec {
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;  // negative: top-down
  std::uint16_t FBitCount = 8;
  std::uint32_t FCompression = Rgb;
  std::uint32_t FInfoSize = 40;
  std::uint32_t FColoursUsed = 0;
  std::vector<TColour> FPalette;
  std::vector<std::uint32_t> FMasks;  // after a 40-byte info header, for bit fields
  std::size_t FGapBeforePixels = 0;
  TBytes FPixels;  // as stored in the file
};

TBytes WriteBitmapFile(const TBitmapFileSpec& Spec) {
  const bool Core = Spec.FInfoSize == 12;
  const std::size_t EntrySize = Core ? 3 : 4;
  const std::size_t PixelOffset =
      14 + Spec.FInfoSize + Spec.FMasks.size() * 4 + Spec.FPalette.size() * EntrySize + Spec.FGapBeforePixels;
  TByteWriter Out;
  Out.U8('B');
  Out.U8('M');
  Out.U32(static_cast<std::uint32_t>(PixelOffset + Spec.FPixels.size()));
  Out.U32(0);
  Out.U32(static_cast<std::uint32_t>(PixelOffset));
  Out.U32(Spec.FInfoSize);
  if (Core) {
    Out.U16(static_cast<std::uint32_t>(Spec.FWidth));
    Out.U16(static_cast<std::uint32_t>(Spec.FHeight));
    Out.U16(1);
    Out.U16(Spec.FBitCount);
  } else {
    Out.U32(static_cast<std::uint32_t>(Spec.FWidth));
    Out.U32(static_cast<std::uint32_t>(Spec.FHeight));
    Out.U16(1);
    Out.U16(Spec.FBitCount);
    Out.U32(Spec.FCompression);
    Out.U32(static_cast<std::uint32_t>(Spec.FPixels.size()));
    Out.U32(2835);
    Out.U32(2835);
    Out.U32(Spec.FColoursUsed);
    Out.U32(0);
    Out.PadTo(14 + Spec.FInfoSize);
  }
  for (const std::uint32_t Mask : Spec.FMasks) Out.U32(Mask);
  for (const TColour& Colour : Spec.FPalette) {
    Out.U8(Colour.FBlue);
    Out.U8(Colour.FGreen);
    Out.U8(Colour.FRed);
    if (!Core) Out.U8(0);
  }
  Out.PadTo(PixelOffset);
  Out.Append(Spec.FPixels);
  return Out.Take();
}

// File rows in storage order: bottom row first unless top-down.
std::vector<int> StoredRows(int Height, bool TopDown) {
  std::vector<int> Rows;
  for (int I = 0; I < Height; ++I) Rows.push_back(TopDown ? I : Height - 1 - I);
  return Rows;
}

void PadRow(TByteWriter& Out, std::size_t RowStart) {
  while ((Out.Size() - RowStart) % 4 != 0) Out.U8(0);
}

TBytes PackIndexed(const TIndexedPicture& Picture, int BitCount, bool TopDown) {
  TByteWriter Out;
  for (const int Y : StoredRows(Picture.FHeight, TopDown)) {
    const std::size_t RowStart = Out.Size();
    std::uint32_t Byte = 0;
    int Filled = 0;
    for (int X = 0; X < Picture.FWidth; ++X) {
      Byte = (Byte << BitCount) | Picture.At(X, Y);
      Filled += BitCount;
      if (Filled == 8) {
        Out.U8(Byte);
        Byte = 0;
        Filled = 0;
      }
    }
    if (Filled > 0) Out.U8(Byte << (8 - Filled));
    PadRow(Out, RowStart);
  }
  return Out.Take();
}

TBytes PackTrueColour(const TIndexedPicture& Picture, int BitCount, bool TopDown) {
  TByteWriter Out;
  for (const int Y : StoredRows(Picture.FHeight, TopDown)) {
    const std::size_t RowStart = Out.Size();
    for (int X = 0; X < Picture.FWidth; ++X) {
      const TColour C = Picture.ColourAt(X, Y);
      if (BitCount == 16) {
        Out.U16(((C.FRed >> 3) << 10) | ((C.FGreen >> 3) << 5) | (C.FBlue >> 3));
        continue;
      }
      Out.U8(C.FBlue);
      Out.U8(C.FGreen);
      Out.U8(C.FRed);
      if (BitCount == 32) Out.U8(0);
    }
    PadRow(Out, RowStart);
  }
  return Out.Take();
}

// A plain run-length encoder: equal neighbours become repeated runs, three or more lone pixels in
// a row become a literal run. Every row ends with an end-of-line code, the last one too.
TBytes EncodeRunLength(const TIndexedPicture& Picture, bool FourBit) {
  TByteWriter Out;
  for (const int Y : StoredRows(Picture.FHeight, false)) {
    std::vector<std::pair<std::uint8_t, int>> Runs;
    for (int X = 0; X < Picture.FWidth; ++X) {
      if (!Runs.empty() && Runs.back().first == Picture.At(X, Y) && Runs.back().second < 255) {
        ++Runs.back().second;
      } else {
        Runs.push_back({Picture.At(X, Y), 1});
      }
    }
    for (std::size_t I = 0; I < Runs.size();) {
      std::size_t Lone = I;
      while (Lone < Runs.size() && Runs[Lone].second == 1 && Lone - I < 255) ++Lone;
      const std::size_t LoneCount = Lone - I;
      if (LoneCount >= 3) {
        Out.U8(0);
        Out.U8(static_cast<std::uint32_t>(LoneCount));
        std::size_t Bytes = 0;
        for (std::size_t K = 0; K < LoneCount; K += FourBit ? 2 : 1, ++Bytes) {
          if (!FourBit) {
            Out.U8(Runs[I + K].first);
          } else {
            const std::uint32_t Low = K + 1 < LoneCount ? Runs[I + K + 1].first : 0;
            Out.U8((Runs[I + K].first << 4) | Low);
          }
        }
        if (Bytes % 2 != 0) Out.U8(0);
        I = Lone;
        continue;
      }
      const std::uint8_t Index = Runs[I].first;
      Out.U8(static_cast<std::uint32_t>(Runs[I].second));
      Out.U8(FourBit ? (Index << 4) | Index : Index);
      ++I;
    }
    Out.U8(0);
    Out.U8(0);
  }
  Out.U8(0);
  Out.U8(1);
  return Out.Take();
}

TBitmapFileSpec IndexedSpec(const TIndexedPicture& Picture, std::uint16_t BitCount, bool TopDown = false) {
  TBitmapFileSpec Spec;
  Spec.FWidth = Picture.FWidth;
  Spec.FHeight = TopDown ? -Picture.FHeight : Picture.FHeight;
  Spec.FBitCount = BitCount;
  Spec.FColoursUsed = static_cast<std::uint32_t>(Picture.FPalette.size());
  Spec.FPalette = Picture.FPalette;
  Spec.FPixels = PackIndexed(Picture, BitCount, TopDown);
  return Spec;
}

TBitmapFileSpec TrueColourSpec(const TIndexedPicture& Picture, std::uint16_t BitCount, bool TopDown = false) {
  TBitmapFileSpec Spec;
  Spec.FWidth = Picture.FWidth;
  Spec.FHeight = TopDown ? -Picture.FHeight : Picture.FHeight;
  Spec.FBitCount = BitCount;
  Spec.FPixels = PackTrueColour(Picture, BitCount, TopDown);
  return Spec;
}

TBitmapFileSpec RunLengthSpec(const TIndexedPicture& Picture, bool FourBit) {
  TBitmapFileSpec Spec = IndexedSpec(Picture, FourBit ? 4 : 8);
  Spec.FCompression = FourBit ? Rle4 : Rle8;
  Spec.FPixels = EncodeRunLength(Picture, FourBit);
  return Spec;
}

std::uint32_t ReadPixel(const SDL_Surface& Surface, int X, int Y) {
  const auto* Row = static_cast<const std::uint8_t*>(Surface.pixels) + static_cast<std::ptrdiff_t>(Y) * Surface.pitch;
  const int BytesPerPixel = Surface.format->BytesPerPixel;
  std::uint32_t Value = 0;
  for (int I = BytesPerPixel - 1; I >= 0; --I) Value = (Value << 8) | Row[X * BytesPerPixel + I];
  return Value;
}

// Checks that Surface shows Picture. Indexed surfaces must keep the file's palette and indices;
// true-colour ones must show the colours, to ColourBits of precision.
void ExpectShows(const SDL_Surface& Surface, const TIndexedPicture& Picture, bool Indexed, int ColourBits = 8) {
  ASSERT_EQ(Surface.w, Picture.FWidth);
  ASSERT_EQ(Surface.h, Picture.FHeight);
  if (Indexed) {
    ASSERT_EQ(Surface.format->format, SDL_PIXELFORMAT_INDEX8);
    const SDL_Palette* Palette = Surface.format->palette;
    ASSERT_NE(Palette, nullptr);
    ASSERT_EQ(Palette->ncolors, static_cast<int>(Picture.FPalette.size()));
    for (std::size_t I = 0; I < Picture.FPalette.size(); ++I) {
      EXPECT_EQ(Palette->colors[I].r, Picture.FPalette[I].FRed) << "colour " << I;
      EXPECT_EQ(Palette->colors[I].g, Picture.FPalette[I].FGreen) << "colour " << I;
      EXPECT_EQ(Palette->colors[I].b, Picture.FPalette[I].FBlue) << "colour " << I;
    }
  } else {
    ASSERT_FALSE(SDL_ISPIXELFORMAT_INDEXED(Surface.format->format));
  }
  const int Drop = 8 - ColourBits;
  for (int Y = 0; Y < Picture.FHeight; ++Y) {
    for (int X = 0; X < Picture.FWidth; ++X) {
      const std::uint32_t Pixel = ReadPixel(Surface, X, Y);
      if (Indexed) {
        ASSERT_EQ(Pixel, Picture.At(X, Y)) << "at " << X << "," << Y;
        continue;
      }
      std::uint8_t R = 0, G = 0, B = 0;
      SDL_GetRGB(Pixel, Surface.format, &R, &G, &B);
      const TColour Expected = Picture.ColourAt(X, Y);
      ASSERT_EQ(R >> Drop, Expected.FRed >> Drop) << "at " << X << "," << Y;
      ASSERT_EQ(G >> Drop, Expected.FGreen >> Drop) << "at " << X << "," << Y;
      ASSERT_EQ(B >> Drop, Expected.FBlue >> Drop) << "at " << X << "," << Y;
    }
  }
}

TSurfacePtr Load(const TBytes& File) { return LoadBitmapFromMemory(File.data(), File.size()); }

// ---- Valid files ----

struct TValidCase {
  std::string FName;
  TIndexedPicture FPicture;
  TBytes FFile;
  bool FIndexed = true;
  int FColourBits = 8;
};

void PrintTo(const TValidCase& Case, std::ostream* Out) { *Out << Case.FName; }

std::vector<TValidCase> ValidCases() {
  std::vector<TValidCase> Cases;
  const auto AddIndexed = [&](std::string Name, const TIndexedPicture& Picture, TBitmapFileSpec Spec) {
    Cases.push_back({std::move(Name), Picture, WriteBitmapFile(Spec), true, 8});
  };
  const auto AddTrueColour = [&](std::string Name, const TIndexedPicture& Picture, TBitmapFileSpec Spec,
                                 int ColourBits = 8) {
    Cases.push_back({std::move(Name), Picture, WriteBitmapFile(Spec), false, ColourBits});
  };

  const TIndexedPicture Two = MakePicture(9, 3, 2);
  const TIndexedPicture Four = MakePicture(9, 3, 4);
  const TIndexedPicture Six = MakePicture(9, 3, 6);
  const TIndexedPicture Sixteen = MakePicture(9, 3, 16);
  const TIndexedPicture Many = MakePicture(37, 5, 256);
  const TIndexedPicture Colourful = MakePicture(9, 4, 23);

  AddIndexed("OneBit", Two, IndexedSpec(Two, 1));
  TBitmapFileSpec OneBitImplicit = IndexedSpec(Two, 1);
  OneBitImplicit.FColoursUsed = 0;  // the table then holds 1 << bits colours
  AddIndexed("OneBitImplicitColourCount", Two, OneBitImplicit);
  AddIndexed("OneBitTopDown", Two, IndexedSpec(Two, 1, true));
  TBitmapFileSpec OneBitCore = IndexedSpec(Two, 1);
  OneBitCore.FInfoSize = 12;
  AddIndexed("OneBitCoreHeader", Two, OneBitCore);
  AddIndexed("TwoBit", Four, IndexedSpec(Four, 2));
  TBitmapFileSpec FourBitImplicit = IndexedSpec(Sixteen, 4);
  FourBitImplicit.FColoursUsed = 0;
  AddIndexed("FourBitImplicitColourCount", Sixteen, FourBitImplicit);
  AddIndexed("FourBitShortPalette", Six, IndexedSpec(Six, 4));
  AddIndexed("EightBitShortPalette", Six, IndexedSpec(Six, 8));
  AddIndexed("EightBitFullPalette", Many, IndexedSpec(Many, 8));
  AddIndexed("EightBitTopDown", Colourful, IndexedSpec(Colourful, 8, true));
  TBitmapFileSpec Core = IndexedSpec(Sixteen, 8);
  Core.FInfoSize = 12;  // the oldest header: no colour count, so the table holds 256 colours
  const TIndexedPicture CorePicture = [&] {
    TIndexedPicture Full = Sixteen;
    Full.FPalette = MakePicture(1, 1, 256).FPalette;
    return Full;
  }();
  Core.FPalette = CorePicture.FPalette;
  AddIndexed("EightBitCoreHeader", CorePicture, Core);
  TBitmapFileSpec Version5 = IndexedSpec(Colourful, 8);
  Version5.FInfoSize = 124;
  AddIndexed("EightBitVersion5Header", Colourful, Version5);
  TBitmapFileSpec Gap = IndexedSpec(Six, 8);
  Gap.FGapBeforePixels = 10;
  Gap.FPixels.resize(Gap.FPixels.size() + 7, 0xEE);  // bytes after the picture are ignored
  AddIndexed("EightBitGapAndTrailingBytes", Six, Gap);
  AddIndexed("Rle8", Colourful, RunLengthSpec(Colourful, false));
  AddIndexed("Rle8FullPalette", Many, RunLengthSpec(Many, false));
  AddIndexed("Rle4", Sixteen, RunLengthSpec(Sixteen, true));
  AddIndexed("Rle4ShortPalette", Six, RunLengthSpec(Six, true));

  AddTrueColour("SixteenBit", Colourful, TrueColourSpec(Colourful, 16), 5);
  AddTrueColour("TwentyFourBit", Colourful, TrueColourSpec(Colourful, 24));
  AddTrueColour("TwentyFourBitTopDown", Colourful, TrueColourSpec(Colourful, 24, true));
  AddTrueColour("TwentyFourBitWide", Many, TrueColourSpec(Many, 24));
  AddTrueColour("ThirtyTwoBit", Colourful, TrueColourSpec(Colourful, 32));
  AddTrueColour("ThirtyTwoBitTopDown", Colourful, TrueColourSpec(Colourful, 32, true));
  TBitmapFileSpec Fields = TrueColourSpec(Colourful, 32);
  Fields.FCompression = BitFields;
  Fields.FMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  AddTrueColour("ThirtyTwoBitBitFields", Colourful, Fields);
  return Cases;
}

class TValidBitmapTest : public testing::TestWithParam<TValidCase> {};

TEST_P(TValidBitmapTest, DecodesToThePicture) {
  const TValidCase& Case = GetParam();
  const TSurfacePtr Surface = Load(Case.FFile);
  ASSERT_NE(Surface, nullptr);
  ExpectShows(*Surface, Case.FPicture, Case.FIndexed, Case.FColourBits);
}

INSTANTIATE_TEST_SUITE_P(Formats, TValidBitmapTest, testing::ValuesIn(ValidCases()),
                         [](const testing::TestParamInfo<TValidCase>& Info) { return Info.param.FName; });

TEST(BitmapFileTest, RunLengthDeltaLeavesSkippedPixelsAtIndexZero) {
  TIndexedPicture Expected = MakePicture(4, 3, 3);
  std::fill(Expected.FIndices.begin(), Expected.FIndices.end(), 0);
  TBitmapFileSpec Spec = IndexedSpec(Expected, 8);
  Spec.FCompression = Rle8;
  // Bottom row: two pixels of index 1; then one right and one up; one pixel of index 2.
  Spec.FPixels = {2, 1, 0, 2, 1, 1, 1, 2, 0, 1};
  Expected.FIndices[static_cast<std::size_t>(2 * 4 + 0)] = 1;
  Expected.FIndices[static_cast<std::size_t>(2 * 4 + 1)] = 1;
  Expected.FIndices[static_cast<std::size_t>(1 * 4 + 3)] = 2;
  const TSurfacePtr Surface = Load(WriteBitmapFile(Spec));
  ExpectShows(*Surface, Expected, true);
}

}  // namespace
