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

constexpr const char* InvalidMessage = "Bitmap image is not valid";

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

struct TBitmapFileLayout {
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

TBytes WriteBitmapFile(const TBitmapFileLayout& Layout) {
  const bool Core = Layout.FInfoSize == 12;
  const std::size_t EntrySize = Core ? 3 : 4;
  const std::size_t PixelOffset =
      14 + Layout.FInfoSize + Layout.FMasks.size() * 4 + Layout.FPalette.size() * EntrySize + Layout.FGapBeforePixels;
  TByteWriter Out;
  Out.U8('B');
  Out.U8('M');
  Out.U32(static_cast<std::uint32_t>(PixelOffset + Layout.FPixels.size()));
  Out.U32(0);
  Out.U32(static_cast<std::uint32_t>(PixelOffset));
  Out.U32(Layout.FInfoSize);
  if (Core) {
    Out.U16(static_cast<std::uint32_t>(Layout.FWidth));
    Out.U16(static_cast<std::uint32_t>(Layout.FHeight));
    Out.U16(1);
    Out.U16(Layout.FBitCount);
  } else {
    Out.U32(static_cast<std::uint32_t>(Layout.FWidth));
    Out.U32(static_cast<std::uint32_t>(Layout.FHeight));
    Out.U16(1);
    Out.U16(Layout.FBitCount);
    Out.U32(Layout.FCompression);
    Out.U32(static_cast<std::uint32_t>(Layout.FPixels.size()));
    Out.U32(2835);
    Out.U32(2835);
    Out.U32(Layout.FColoursUsed);
    Out.U32(0);
    Out.PadTo(14 + Layout.FInfoSize);
  }
  for (const std::uint32_t Mask : Layout.FMasks) Out.U32(Mask);
  for (const TColour& Colour : Layout.FPalette) {
    Out.U8(Colour.FBlue);
    Out.U8(Colour.FGreen);
    Out.U8(Colour.FRed);
    if (!Core) Out.U8(0);
  }
  Out.PadTo(PixelOffset);
  Out.Append(Layout.FPixels);
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

TBitmapFileLayout IndexedLayout(const TIndexedPicture& Picture, std::uint16_t BitCount, bool TopDown = false) {
  TBitmapFileLayout Layout;
  Layout.FWidth = Picture.FWidth;
  Layout.FHeight = TopDown ? -Picture.FHeight : Picture.FHeight;
  Layout.FBitCount = BitCount;
  Layout.FColoursUsed = static_cast<std::uint32_t>(Picture.FPalette.size());
  Layout.FPalette = Picture.FPalette;
  Layout.FPixels = PackIndexed(Picture, BitCount, TopDown);
  return Layout;
}

TBitmapFileLayout TrueColourLayout(const TIndexedPicture& Picture, std::uint16_t BitCount, bool TopDown = false) {
  TBitmapFileLayout Layout;
  Layout.FWidth = Picture.FWidth;
  Layout.FHeight = TopDown ? -Picture.FHeight : Picture.FHeight;
  Layout.FBitCount = BitCount;
  Layout.FPixels = PackTrueColour(Picture, BitCount, TopDown);
  return Layout;
}

TBitmapFileLayout RunLengthLayout(const TIndexedPicture& Picture, bool FourBit) {
  TBitmapFileLayout Layout = IndexedLayout(Picture, FourBit ? 4 : 8);
  Layout.FCompression = FourBit ? Rle4 : Rle8;
  Layout.FPixels = EncodeRunLength(Picture, FourBit);
  return Layout;
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
  const auto AddIndexed = [&](std::string Name, const TIndexedPicture& Picture, TBitmapFileLayout Layout) {
    Cases.push_back({std::move(Name), Picture, WriteBitmapFile(Layout), true, 8});
  };
  const auto AddTrueColour = [&](std::string Name, const TIndexedPicture& Picture, TBitmapFileLayout Layout,
                                 int ColourBits = 8) {
    Cases.push_back({std::move(Name), Picture, WriteBitmapFile(Layout), false, ColourBits});
  };

  const TIndexedPicture Two = MakePicture(9, 3, 2);
  const TIndexedPicture Four = MakePicture(9, 3, 4);
  const TIndexedPicture Six = MakePicture(9, 3, 6);
  const TIndexedPicture Sixteen = MakePicture(9, 3, 16);
  const TIndexedPicture Many = MakePicture(37, 5, 256);
  const TIndexedPicture Colourful = MakePicture(9, 4, 23);

  AddIndexed("OneBit", Two, IndexedLayout(Two, 1));
  TBitmapFileLayout OneBitImplicit = IndexedLayout(Two, 1);
  OneBitImplicit.FColoursUsed = 0;  // the table then holds 1 << bits colours
  AddIndexed("OneBitImplicitColourCount", Two, OneBitImplicit);
  AddIndexed("OneBitTopDown", Two, IndexedLayout(Two, 1, true));
  TBitmapFileLayout OneBitCore = IndexedLayout(Two, 1);
  OneBitCore.FInfoSize = 12;
  AddIndexed("OneBitCoreHeader", Two, OneBitCore);
  AddIndexed("TwoBit", Four, IndexedLayout(Four, 2));
  TBitmapFileLayout FourBitImplicit = IndexedLayout(Sixteen, 4);
  FourBitImplicit.FColoursUsed = 0;
  AddIndexed("FourBitImplicitColourCount", Sixteen, FourBitImplicit);
  AddIndexed("FourBitShortPalette", Six, IndexedLayout(Six, 4));
  AddIndexed("EightBitShortPalette", Six, IndexedLayout(Six, 8));
  AddIndexed("EightBitFullPalette", Many, IndexedLayout(Many, 8));
  AddIndexed("EightBitTopDown", Colourful, IndexedLayout(Colourful, 8, true));
  TBitmapFileLayout Core = IndexedLayout(Sixteen, 8);
  Core.FInfoSize = 12;  // the oldest header: no colour count, so the table holds 256 colours
  const TIndexedPicture CorePicture = [&] {
    TIndexedPicture Full = Sixteen;
    Full.FPalette = MakePicture(1, 1, 256).FPalette;
    return Full;
  }();
  Core.FPalette = CorePicture.FPalette;
  AddIndexed("EightBitCoreHeader", CorePicture, Core);
  TBitmapFileLayout Version5 = IndexedLayout(Colourful, 8);
  Version5.FInfoSize = 124;
  AddIndexed("EightBitVersion5Header", Colourful, Version5);
  TBitmapFileLayout Gap = IndexedLayout(Six, 8);
  Gap.FGapBeforePixels = 10;
  Gap.FPixels.resize(Gap.FPixels.size() + 7, 0xEE);  // bytes after the picture are ignored
  AddIndexed("EightBitGapAndTrailingBytes", Six, Gap);
  AddIndexed("Rle8", Colourful, RunLengthLayout(Colourful, false));
  AddIndexed("Rle8FullPalette", Many, RunLengthLayout(Many, false));
  AddIndexed("Rle4", Sixteen, RunLengthLayout(Sixteen, true));
  AddIndexed("Rle4ShortPalette", Six, RunLengthLayout(Six, true));

  AddTrueColour("SixteenBit", Colourful, TrueColourLayout(Colourful, 16), 5);
  AddTrueColour("TwentyFourBit", Colourful, TrueColourLayout(Colourful, 24));
  AddTrueColour("TwentyFourBitTopDown", Colourful, TrueColourLayout(Colourful, 24, true));
  AddTrueColour("TwentyFourBitWide", Many, TrueColourLayout(Many, 24));
  AddTrueColour("ThirtyTwoBit", Colourful, TrueColourLayout(Colourful, 32));
  AddTrueColour("ThirtyTwoBitTopDown", Colourful, TrueColourLayout(Colourful, 32, true));
  TBitmapFileLayout Fields = TrueColourLayout(Colourful, 32);
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
  TBitmapFileLayout Layout = IndexedLayout(Expected, 8);
  Layout.FCompression = Rle8;
  // Bottom row: two pixels of index 1; then one right and one up; one pixel of index 2.
  Layout.FPixels = {2, 1, 0, 2, 1, 1, 1, 2, 0, 1};
  Expected.FIndices[static_cast<std::size_t>(2 * 4 + 0)] = 1;
  Expected.FIndices[static_cast<std::size_t>(2 * 4 + 1)] = 1;
  Expected.FIndices[static_cast<std::size_t>(1 * 4 + 3)] = 2;
  const TSurfacePtr Surface = Load(WriteBitmapFile(Layout));
  ExpectShows(*Surface, Expected, true);
}

// ---- Damaged files ----

TBytes Truncated(TBytes File, std::size_t Size) {
  File.resize(Size);
  return File;
}

TBytes WithU32(TBytes File, std::size_t Offset, std::uint32_t Value) {
  for (int I = 0; I < 4; ++I) File[Offset + static_cast<std::size_t>(I)] = static_cast<std::uint8_t>(Value >> (8 * I));
  return File;
}

TBytes WithU16(TBytes File, std::size_t Offset, std::uint16_t Value) {
  File[Offset] = static_cast<std::uint8_t>(Value);
  File[Offset + 1] = static_cast<std::uint8_t>(Value >> 8);
  return File;
}

TBytes WithByte(TBytes File, std::size_t Offset, std::uint8_t Value) {
  File[Offset] = Value;
  return File;
}

TBytes WithSize(TBytes File, std::int32_t Width, std::int32_t Height) {
  return WithU32(WithU32(std::move(File), WidthField, static_cast<std::uint32_t>(Width)), HeightField,
                 static_cast<std::uint32_t>(Height));
}

TBytes RunLengthFile(const TIndexedPicture& Picture, bool FourBit, TBytes Data) {
  TBitmapFileLayout Layout = RunLengthLayout(Picture, FourBit);
  Layout.FPixels = std::move(Data);
  return WriteBitmapFile(Layout);
}

struct TDamagedCase {
  std::string FName;
  TBytes FFile;
};

void PrintTo(const TDamagedCase& Case, std::ostream* Out) { *Out << Case.FName; }

std::vector<TDamagedCase> DamagedCases() {
  // An 8-bit 9x3 picture with 6 colours: 14 + 40 header bytes, 24 palette bytes, 3 rows of 12.
  const TIndexedPicture Six = MakePicture(9, 3, 6);
  const TBytes Good = WriteBitmapFile(IndexedLayout(Six, 8));
  const std::size_t PaletteEnd = InfoHeaderEnd + 6 * 4;
  const TBytes GoodFourBit = WriteBitmapFile(IndexedLayout(Six, 4));
  const TBytes GoodTrueColour = WriteBitmapFile(TrueColourLayout(Six, 24));
  TBitmapFileLayout FieldsLayout = TrueColourLayout(Six, 32);
  FieldsLayout.FCompression = BitFields;
  FieldsLayout.FMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  const TBytes GoodFields = WriteBitmapFile(FieldsLayout);
  const TIndexedPicture OneColour = MakePicture(9, 3, 1);
  TBitmapFileLayout OneBitOneColour = IndexedLayout(OneColour, 1);
  OneBitOneColour.FPixels[0] = 0x40;  // second pixel of the bottom row uses index 1

  // Width 9, height 3, 6 colours; run-length data written by hand.
  const auto Rle8File = [&](TBytes Data) { return RunLengthFile(Six, false, std::move(Data)); };
  const auto Rle4File = [&](TBytes Data) { return RunLengthFile(Six, true, std::move(Data)); };
  const TBytes GoodRle8 = WriteBitmapFile(RunLengthLayout(Six, false));

  TBytes OutOfPalette = Good;
  OutOfPalette[Good.size() - 12 + 4] = 6;  // the top row is stored last
  TBytes FourBitOutOfPalette = GoodFourBit;
  FourBitOutOfPalette[GoodFourBit.size() - 8] = 0x0F;  // second pixel of the top row

  return {
      {"ZeroBytes", {}},
      {"OneByte", Truncated(Good, 1)},
      {"MagicOnly", Truncated(Good, 2)},
      {"TruncatedInFileHeader", Truncated(Good, 9)},
      {"TruncatedAfterFileHeader", Truncated(Good, 14)},
      {"TruncatedInInfoHeaderSize", Truncated(Good, 16)},
      {"TruncatedInInfoHeader", Truncated(Good, 30)},
      {"TruncatedBeforePalette", Truncated(Good, InfoHeaderEnd)},
      {"TruncatedInPalette", Truncated(Good, InfoHeaderEnd + 10)},
      {"TruncatedBeforePixels", Truncated(Good, PaletteEnd)},
      {"TruncatedInFirstRow", Truncated(Good, PaletteEnd + 5)},
      {"TruncatedInLastRow", Truncated(Good, Good.size() - 8)},
      {"LastRowPaddingMissing", Truncated(Good, Good.size() - 1)},
      {"TrueColourTruncatedInPixels", Truncated(GoodTrueColour, GoodTrueColour.size() - 20)},
      {"BitFieldsMasksMissing", Truncated(GoodFields, InfoHeaderEnd + 8)},
      {"RunLengthTruncated", Truncated(GoodRle8, GoodRle8.size() - 3)},
      {"MagicBA", WithByte(Good, 1, 'A')},
      {"MagicReversed", WithByte(WithByte(Good, 0, 'M'), 1, 'B')},
      {"MagicLowerCase", WithByte(WithByte(Good, 0, 'b'), 1, 'm')},
      {"InfoHeaderSizeZero", WithU32(Good, InfoSizeField, 0)},
      {"InfoHeaderSize20", WithU32(Good, InfoSizeField, 20)},
      {"InfoHeaderSizeOs2", WithU32(Good, InfoSizeField, 64)},
      {"InfoHeaderSizeHuge", WithU32(Good, InfoSizeField, 0xFFFFFFFF)},
      {"InfoHeaderPastEndOfFile", WithU32(Truncated(Good, 100), InfoSizeField, 124)},
      {"ZeroWidth", WithSize(Good, 0, 3)},
      {"NegativeWidth", WithSize(Good, -9, 3)},
      {"ZeroHeight", WithSize(Good, 9, 0)},
      {"MinimumHeight", WithSize(Good, 9, std::numeric_limits<std::int32_t>::min())},
      {"WidthOverLimit", WithSize(Good, MaxBitmapSide + 1, 1)},
      {"HeightOverLimit", WithSize(Good, 1, MaxBitmapSide + 1)},
      {"TopDownHeightOverLimit", WithSize(Good, 1, -(MaxBitmapSide + 1))},
      {"Gigantic", WithSize(Good, 100000, 100000)},
      {"GiganticTopDown", WithSize(Good, 100000, -100000)},
      {"MaximumDimensions", WithSize(Good, std::numeric_limits<std::int32_t>::max(),
                                     std::numeric_limits<std::int32_t>::max())},
      {"GiganticRunLength", WithSize(GoodRle8, 100000, 100000)},
      {"LargeButAllowedSidesWithoutPixels", WithSize(Good, MaxBitmapSide, MaxBitmapSide)},
      {"BitCountZero", WithU16(Good, BitCountField, 0)},
      {"BitCountThree", WithU16(Good, BitCountField, 3)},
      {"BitCount64", WithU16(GoodTrueColour, BitCountField, 64)},
      {"CompressionJpeg", WithU32(GoodTrueColour, CompressionField, 4)},
      {"CompressionPng", WithU32(GoodTrueColour, CompressionField, 5)},
      {"CompressionHuge", WithU32(Good, CompressionField, 0xFFFFFFFF)},
      {"Rle8WithTwentyFourBits", WithU16(GoodRle8, BitCountField, 24)},
      {"Rle4WithEightBits", WithU32(GoodRle8, CompressionField, Rle4)},
      {"Rle8TopDown", WithU32(GoodRle8, HeightField, static_cast<std::uint32_t>(-3))},
      {"BitFieldsWithTwentyFourBits", WithU32(GoodTrueColour, CompressionField, BitFields)},
      {"BitFieldsUnknownMasks", WithU32(WithU32(GoodFields, InfoHeaderEnd, 0xF0F0F0F0), InfoHeaderEnd + 4,
                                        0x0F0F0F0F)},
      {"TooManyColoursForEightBits", WithU32(Good, ColoursUsedField, 257)},
      {"TooManyColoursForFourBits", WithU32(GoodFourBit, ColoursUsedField, 17)},
      {"ColourCountHuge", WithU32(Good, ColoursUsedField, 0x40000000)},
      {"PaletteOverlapsPixels", WithU32(Good, ColoursUsedField, 200)},
      {"PixelOffsetPastEnd", WithU32(Good, PixelOffsetField, static_cast<std::uint32_t>(Good.size() + 1))},
      {"PixelOffsetHuge", WithU32(Good, PixelOffsetField, 0xFFFFFFF0)},
      {"PixelOffsetInsidePalette", WithU32(Good, PixelOffsetField, InfoHeaderEnd + 4)},
      {"PixelOffsetZero", WithU32(Good, PixelOffsetField, 0)},
      {"EightBitIndexOutOfPalette", OutOfPalette},
      {"FourBitIndexOutOfPalette", FourBitOutOfPalette},
      {"OneBitIndexOutOfPalette", WriteBitmapFile(OneBitOneColour)},
      {"Rle8RunIndexOutOfPalette", Rle8File({9, 6, 0, 1})},
      {"Rle8LiteralIndexOutOfPalette", Rle8File({0, 3, 1, 2, 200, 0, 0, 1})},
      {"Rle4RunHighIndexOutOfPalette", Rle4File({1, 0x70, 0, 1})},
      {"Rle4RunLowIndexOutOfPalette", Rle4File({2, 0x17, 0, 1})},
      {"Rle4LiteralIndexOutOfPalette", Rle4File({0, 3, 0x12, 0x90, 0, 1})},
      {"Rle8RunPastEndOfRow", Rle8File({10, 1, 0, 1})},
      {"Rle8RunsPastEndOfRow", Rle8File({5, 1, 5, 1, 0, 1})},
      {"Rle8LiteralPastEndOfRow", Rle8File({5, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1})},
      {"Rle4RunPastEndOfRow", Rle4File({10, 0x11, 0, 1})},
      {"Rle8DeltaPastRightEdge", Rle8File({0, 2, 10, 0, 0, 1})},
      {"Rle8DeltaPastTop", Rle8File({0, 2, 0, 4, 0, 1})},
      {"Rle8RunPastTop", Rle8File({0, 0, 0, 0, 0, 0, 1, 1, 0, 1})},
      {"Rle8LinesPastTop", Rle8File({0, 0, 0, 0, 0, 0, 0, 0, 0, 1})},
      {"Rle8WithoutEndMark", Rle8File({9, 1, 0, 0})},
      {"Rle8EndsInsideEscape", Rle8File({9, 1, 0})},
      {"Rle8EndsInsideDelta", Rle8File({0, 2, 1})},
      {"Rle8EndsInsideRun", Rle8File({9})},
      {"Rle8LiteralCutShort", Rle8File({0, 5, 1, 2})},
      {"Rle8LiteralPadMissing", Rle8File({0, 3, 1, 2, 3})},
      {"Rle8NoData", Rle8File({})},
  };
}

class TDamagedBitmapTest : public testing::TestWithParam<TDamagedCase> {};

TEST_P(TDamagedBitmapTest, IsRefusedAsInvalid) {
  const TBytes& File = GetParam().FFile;
  try {
    const TSurfacePtr Surface = LoadBitmapFromMemory(File.data(), File.size());
    FAIL() << "decoded a " << Surface->w << "x" << Surface->h << " surface";
  } catch (const EInvalidGraphic& Error) {
    EXPECT_EQ(Error.Message(), InvalidMessage);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, TDamagedBitmapTest, testing::ValuesIn(DamagedCases()),
                         [](const testing::TestParamInfo<TDamagedCase>& Info) { return Info.param.FName; });

TEST(BitmapFileTest, NullDataIsInvalid) {
  EXPECT_THROW(LoadBitmapFromMemory(nullptr, 0), EInvalidGraphic);
  EXPECT_THROW(LoadBitmapFromMemory(nullptr, 100), EInvalidGraphic);
}

// SDL's allocator hooks are plain functions without a context pointer, so what they record has to
// live in static storage. Only the test below installs them, and it puts SDL's own functions back.
class TSdlAllocationWatch {
public:
  TSdlAllocationWatch() {
    SDL_GetMemoryFunctions(&Malloc(), &Calloc(), &Realloc(), &Free());
    Largest() = 0;
    SDL_SetMemoryFunctions(&WatchedMalloc, &WatchedCalloc, &WatchedRealloc, Free());
  }
  ~TSdlAllocationWatch() { SDL_SetMemoryFunctions(Malloc(), Calloc(), Realloc(), Free()); }
  TSdlAllocationWatch(const TSdlAllocationWatch&) = delete;
  TSdlAllocationWatch& operator=(const TSdlAllocationWatch&) = delete;

  static std::size_t LargestRequest() { return Largest(); }
  static void Reset() { Largest() = 0; }

private:
  static SDL_malloc_func& Malloc() {
    static SDL_malloc_func Function = nullptr;
    return Function;
  }
  static SDL_calloc_func& Calloc() {
    static SDL_calloc_func Function = nullptr;
    return Function;
  }
  static SDL_realloc_func& Realloc() {
    static SDL_realloc_func Function = nullptr;
    return Function;
  }
  static SDL_free_func& Free() {
    static SDL_free_func Function = nullptr;
    return Function;
  }
  static std::size_t& Largest() {
    static std::size_t Size = 0;
    return Size;
  }
  static void Note(std::size_t Size) { Largest() = std::max(Largest(), Size); }
  static void* SDLCALL WatchedMalloc(std::size_t Size) {
    Note(Size);
    return Malloc()(Size);
  }
  static void* SDLCALL WatchedCalloc(std::size_t Count, std::size_t Size) {
    Note(Count * Size);
    return Calloc()(Count, Size);
  }
  static void* SDLCALL WatchedRealloc(void* Memory, std::size_t Size) {
    Note(Size);
    return Realloc()(Memory, Size);
  }
};

TEST(BitmapFileTest, GiganticDimensionsAreRefusedBeforeAnyPixelIsAllocated) {
  const TIndexedPicture Picture = MakePicture(64, 64, 6);
  const TBytes Plain = WriteBitmapFile(IndexedLayout(Picture, 8));
  const TBytes RunLength = WriteBitmapFile(RunLengthLayout(Picture, false));
  const TSdlAllocationWatch Watch;

  // The watch sees pixel allocations: a good 64x64 picture needs at least 64 * 64 bytes.
  ASSERT_NE(Load(Plain), nullptr);
  ASSERT_GE(TSdlAllocationWatch::LargestRequest(), std::size_t{64 * 64});

  for (const TBytes& Good : {Plain, RunLength}) {
    const std::vector<std::pair<int, int>> Sizes = {{100000, 100000}, {100000, -100000}, {MaxBitmapSide + 1, 1000}};
    for (const auto& [Width, Height] : Sizes) {
      TSdlAllocationWatch::Reset();
      EXPECT_THROW(Load(WithSize(Good, Width, Height)), EInvalidGraphic) << Width << "x" << Height;
      EXPECT_LT(TSdlAllocationWatch::LargestRequest(), std::size_t{64 * 64}) << Width << "x" << Height;
    }
  }
}

// ---- Files on disk ----

class TBitmapFileOnDiskTest : public testing::Test {
protected:
  void SetUp() override {
    std::string Pattern = (std::filesystem::temp_directory_path() / "bitmapfile-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    FFolder = Pattern;
  }
  void TearDown() override {
    std::error_code Ignored;
    std::filesystem::remove_all(FFolder, Ignored);
  }

  std::string WriteFile(const std::string& Name, const TBytes& Bytes) const {
    const std::string Path = (FFolder / Name).string();
    std::ofstream Out(Path, std::ios::binary);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    return Path;
  }

  static void ExpectCannotOpen(const std::string& FileName) {
    try {
      LoadBitmapFile(FileName);
      FAIL() << "loaded " << FileName;
    } catch (const EFOpenError& Error) {
      EXPECT_EQ(Error.Message(), "Cannot open file " + FileName);
    }
  }

  static void ExpectInvalid(const std::string& FileName) {
    try {
      LoadBitmapFile(FileName);
      FAIL() << "loaded " << FileName;
    } catch (const EInvalidGraphic& Error) {
      EXPECT_EQ(Error.Message(), InvalidMessage);
    }
  }

  std::filesystem::path FFolder;
};

TEST_F(TBitmapFileOnDiskTest, LoadsAGoodFile) {
  const TIndexedPicture Picture = MakePicture(9, 4, 23);
  const TSurfacePtr Surface = LoadBitmapFile(WriteFile("menu1.bmp", WriteBitmapFile(IndexedLayout(Picture, 8))));
  ASSERT_NE(Surface, nullptr);
  ExpectShows(*Surface, Picture, true);
}

TEST_F(TBitmapFileOnDiskTest, MissingFileCannotBeOpenedAndKeepsTheNameAsPassed) {
  ExpectCannotOpen((FFolder / "menu1.bmp").string());
  ExpectCannotOpen("no-such-folder-for-bitmaps/menu1.bmp");
  ExpectCannotOpen("");
}

TEST_F(TBitmapFileOnDiskTest, FolderNamedLikeThePictureCannotBeOpened) {
  std::filesystem::create_directory(FFolder / "menu2.bmp");
  ExpectCannotOpen((FFolder / "menu2.bmp").string());
}

TEST_F(TBitmapFileOnDiskTest, FifoNamedLikeThePictureCannotBeOpenedAndDoesNotBlock) {
  const std::string Path = (FFolder / "menu3.bmp").string();
  ASSERT_EQ(mkfifo(Path.c_str(), 0600), 0);
  ExpectCannotOpen(Path);
}

TEST_F(TBitmapFileOnDiskTest, UnreadableFileCannotBeOpened) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not stop the superuser";
  const std::string Path = WriteFile("menu4.bmp", WriteBitmapFile(IndexedLayout(MakePicture(9, 3, 6), 8)));
  ASSERT_EQ(chmod(Path.c_str(), 0), 0);
  ExpectCannotOpen(Path);
}

TEST_F(TBitmapFileOnDiskTest, EmptyAndDamagedFilesAreInvalid) {
  ExpectInvalid(WriteFile("empty.bmp", {}));
  const TBytes Good = WriteBitmapFile(IndexedLayout(MakePicture(9, 3, 6), 8));
  ExpectInvalid(WriteFile("short.bmp", Truncated(Good, Good.size() - 5)));
}

TEST_F(TBitmapFileOnDiskTest, FileOverTheSizeLimitIsInvalid) {
  // A sparse file: as large as it claims, without using the disk.
  const TBytes Good = WriteBitmapFile(IndexedLayout(MakePicture(9, 3, 6), 8));
  const std::string Path = WriteFile("huge.bmp", Good);
  std::filesystem::resize_file(Path, MaxBitmapFileSize + 1);
  ExpectInvalid(Path);
}

}  // namespace
