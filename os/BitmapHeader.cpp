#include "os/BitmapHeader.h"

namespace {

constexpr std::uint64_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;  // the oldest info header: 16-bit sizes, 3-byte colours
constexpr std::uint32_t BitFieldsMaskBytes = 12;

std::uint16_t ReadU16(std::span<const std::uint8_t> Bytes, std::size_t Offset) {
  return static_cast<std::uint16_t>(Bytes[Offset] | (Bytes[Offset + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> Bytes, std::size_t Offset) {
  return static_cast<std::uint32_t>(Bytes[Offset]) | (static_cast<std::uint32_t>(Bytes[Offset + 1]) << 8) |
         (static_cast<std::uint32_t>(Bytes[Offset + 2]) << 16) |
         (static_cast<std::uint32_t>(Bytes[Offset + 3]) << 24);
}

std::int32_t ReadI32(std::span<const std::uint8_t> Bytes, std::size_t Offset) {
  return static_cast<std::int32_t>(ReadU32(Bytes, Offset));
}

// The info header versions SDL parses correctly: core, v1, v2, v3, v4, v5. The OS/2 2.x header
// (64 bytes) is laid out differently and SDL skips its fields, so it is refused.
bool IsKnownInfoHeaderSize(std::uint32_t Size) {
  return Size == CoreHeaderSize || Size == 40 || Size == 52 || Size == 56 || Size == 108 || Size == 124;
}

bool IsIndexedBitCount(std::uint16_t BitCount) {
  return BitCount == 1 || BitCount == 2 || BitCount == 4 || BitCount == 8;
}

// Only the pairs SDL decodes correctly. SDL 2.26 takes an unknown compression for uncompressed data
// and runs RLE8 into a 24-bit surface, so both are refused here.
TBitmapCompression CheckedCompression(std::uint32_t Compression, std::uint16_t BitCount, bool TopDown) {
  switch (Compression) {
    case 0:
      RequireValidBitmap(IsIndexedBitCount(BitCount) || BitCount == 16 || BitCount == 24 || BitCount == 32);
      return TBitmapCompression::None;
    case 1:
      // Run-length pictures are always stored bottom-up; SDL ignores a top-down height for them.
      RequireValidBitmap(BitCount == 8 && !TopDown);
      return TBitmapCompression::Rle8;
    case 2:
      RequireValidBitmap(BitCount == 4 && !TopDown);
      return TBitmapCompression::Rle4;
    case 3:
      RequireValidBitmap(BitCount == 16 || BitCount == 32);
      return TBitmapCompression::BitFields;
    default:
      ThrowInvalidBitmap();
  }
}

}  // namespace

TBitmapHeader ReadBitmapHeader(std::span<const std::uint8_t> File) {
  RequireValidBitmap(File.size() >= FileHeaderSize + 4);
  RequireValidBitmap(File[0] == 'B' && File[1] == 'M');
  TBitmapHeader Header;
  Header.FPixelOffset = ReadU32(File, 10);

  const std::uint32_t InfoSize = ReadU32(File, 14);
  RequireValidBitmap(IsKnownInfoHeaderSize(InfoSize) && FileHeaderSize + InfoSize <= File.size());

  std::int64_t Height = 0;
  std::uint32_t Compression = 0;
  std::uint32_t ColoursUsed = 0;
  std::uint32_t PaletteEntrySize = 4;
  if (InfoSize == CoreHeaderSize) {
    Header.FWidth = ReadU16(File, 18);
    Height = ReadU16(File, 20);
    Header.FBitCount = ReadU16(File, 24);
    PaletteEntrySize = 3;
  } else {
    Header.FWidth = ReadI32(File, 18);
    Height = ReadI32(File, 22);
    Header.FBitCount = ReadU16(File, 28);
    Compression = ReadU32(File, 30);
    ColoursUsed = ReadU32(File, 46);
  }

  // A negative height is a top-down picture; widening to 64 bits keeps -INT32_MIN defined, and
  // the side limit then refuses it.
  Header.FTopDown = Height < 0;
  if (Height < 0) Height = -Height;
  RequireValidBitmap(Header.FWidth > 0 && Header.FWidth <= MaxBitmapSide);
  RequireValidBitmap(Height > 0 && Height <= MaxBitmapSide);
  Header.FHeight = static_cast<std::int32_t>(Height);

  Header.FCompression = CheckedCompression(Compression, Header.FBitCount, Header.FTopDown);

  std::uint64_t TableEnd = FileHeaderSize + InfoSize;
  if (Header.FCompression == TBitmapCompression::BitFields && InfoSize == 40) {
    // The version 1 header keeps its colour masks right after it.
    TableEnd += BitFieldsMaskBytes;
  }
  if (IsIndexedBitCount(Header.FBitCount)) {
    const std::uint32_t MaxColours = 1u << Header.FBitCount;
    RequireValidBitmap(ColoursUsed <= MaxColours);
    Header.FColourCount = ColoursUsed == 0 ? MaxColours : ColoursUsed;
    TableEnd += std::uint64_t{Header.FColourCount} * PaletteEntrySize;
  }
  RequireValidBitmap(TableEnd <= Header.FPixelOffset && Header.FPixelOffset <= File.size());

  Header.FRowBytes = (std::uint64_t{static_cast<std::uint32_t>(Header.FWidth)} * Header.FBitCount + 31) / 32 * 4;
  const bool Compressed =
      Header.FCompression == TBitmapCompression::Rle8 || Header.FCompression == TBitmapCompression::Rle4;
  if (!Compressed) {
    // Every row, padding included, must be in the file: SDL would otherwise fill the missing rows
    // with whatever its failed reads leave behind.
    const std::uint64_t PixelBytes = Header.FRowBytes * static_cast<std::uint64_t>(Header.FHeight);
    RequireValidBitmap(PixelBytes <= File.size() - Header.FPixelOffset);
  }
  return Header;
}
