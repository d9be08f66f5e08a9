#include "os/BitmapPixelCheck.h"

namespace {

// Palette index of pixel X in one packed row of 1, 2, 4 or 8 bits per pixel, first pixel in the
// high bits of a byte.
std::uint32_t PackedIndex(std::span<const std::uint8_t> Row, std::uint32_t X, std::uint16_t BitCount) {
  const std::uint32_t PixelsPerByte = 8u / BitCount;
  const std::uint8_t Byte = Row[X / PixelsPerByte];
  const std::uint32_t Shift = 8u - BitCount * (X % PixelsPerByte + 1);
  return (Byte >> Shift) & ((1u << BitCount) - 1);
}

void CheckUncompressedIndices(const TBitmapHeader& Header, std::span<const std::uint8_t> File) {
  if (Header.FColourCount == 0 || Header.FColourCount == (1u << Header.FBitCount)) {
    return;  // true colour, or a full palette that every index fits
  }
  const auto Width = static_cast<std::uint32_t>(Header.FWidth);
  for (std::int32_t Y = 0; Y < Header.FHeight; ++Y) {
    const auto Row = File.subspan(Header.FPixelOffset + Header.FRowBytes * static_cast<std::uint64_t>(Y),
                                  Header.FRowBytes);
    for (std::uint32_t X = 0; X < Width; ++X) {
      RequireValidBitmap(PackedIndex(Row, X, Header.FBitCount) < Header.FColourCount);
    }
  }
}

// Walks RLE8 or RLE4 data as SDL decodes it, without writing anything: a cursor starts at the
// left of the bottom row, runs move it right, end-of-line and delta codes move it up.
class TRunLengthChecker {
public:
  TRunLengthChecker(const TBitmapHeader& Header, std::span<const std::uint8_t> Data)
      : FData(Data), FWidth(static_cast<std::uint32_t>(Header.FWidth)),
        FHeight(static_cast<std::uint32_t>(Header.FHeight)), FColourCount(Header.FColourCount),
        FFourBit(Header.FCompression == TBitmapCompression::Rle4) {}

  void Check() {
    for (;;) {
      const std::uint8_t Count = NextByte();
      if (Count != 0) {
        CheckRepeatedRun(Count, NextByte());
        continue;
      }
      const std::uint8_t Code = NextByte();
      if (Code == 0) {  // end of line
        FX = 0;
        MoveUp(1);
      } else if (Code == 1) {  // end of picture
        return;
      } else if (Code == 2) {  // delta: skip right and up, leaving the skipped pixels at index 0
        const std::uint8_t Right = NextByte();
        const std::uint8_t Up = NextByte();
        RequireValidBitmap(FX + Right <= FWidth);
        FX += Right;
        MoveUp(Up);
      } else {
        CheckLiteralRun(Code);
      }
    }
  }

private:
  // SDL fails on data that ends before the end-of-picture mark; so does this.
  std::uint8_t NextByte() {
    RequireValidBitmap(FPosition < FData.size());
    return FData[FPosition++];
  }

  void MoveUp(std::uint32_t Rows) {
    // One row past the top is allowed: encoders end the last row with an end-of-line code.
    RequireValidBitmap(FY + Rows <= FHeight);
    FY += Rows;
  }

  void Advance(std::uint32_t Count) {
    RequireValidBitmap(FY < FHeight && FX + Count <= FWidth);
    FX += Count;
  }

  void CheckIndex(std::uint32_t Index) const { RequireValidBitmap(Index < FColourCount); }

  // A repeated run: one index (RLE8), or two alternating nibbles (RLE4).
  void CheckRepeatedRun(std::uint8_t Count, std::uint8_t Value) {
    Advance(Count);
    if (!FFourBit) {
      CheckIndex(Value);
      return;
    }
    CheckIndex(Value >> 4);
    if (Count > 1) CheckIndex(Value & 0x0F);
  }

  // Literal pixels follow the code, padded to an even number of bytes.
  void CheckLiteralRun(std::uint8_t Count) {
    Advance(Count);
    const std::uint32_t Bytes = FFourBit ? (Count + 1u) / 2 : Count;
    for (std::uint32_t Pixel = 0; Pixel < Count; ++Pixel) {
      if (!FFourBit) {
        CheckIndex(NextByte());
      } else if (Pixel % 2 == 0) {
        FLiteralByte = NextByte();
        CheckIndex(FLiteralByte >> 4);
      } else {
        CheckIndex(FLiteralByte & 0x0F);
      }
    }
    if (Bytes % 2 != 0) NextByte();
  }

  std::span<const std::uint8_t> FData;
  std::size_t FPosition = 0;
  std::uint32_t FWidth;
  std::uint32_t FHeight;
  std::uint32_t FColourCount;
  bool FFourBit;
  std::uint32_t FX = 0;
  std::uint32_t FY = 0;
  std::uint8_t FLiteralByte = 0;
};

}  // namespace

void CheckBitmapPixels(const TBitmapHeader& Header, std::span<const std::uint8_t> File) {
  switch (Header.FCompression) {
    case TBitmapCompression::Rle8:
    case TBitmapCompression::Rle4:
      TRunLengthChecker(Header, File.subspan(Header.FPixelOffset)).Check();
      break;
    case TBitmapCompression::None:
      CheckUncompressedIndices(Header, File);
      break;
    case TBitmapCompression::BitFields:
      break;
  }
}
