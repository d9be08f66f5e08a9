#pragma once
// The layout of a device-independent bitmap file, read and checked before SDL sees the file, so
// that SDL only ever decodes a picture whose size, palette and pixel data are known to be sane.
#include <cstdint>
#include <span>

#include "os/BitmapLimits.h"
#include "os/Exceptions.h"

// Every failure to read a picture that was opened carries this one message.
[[noreturn]] inline void ThrowInvalidBitmap() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

inline void RequireValidBitmap(bool Condition) {
  if (!Condition) ThrowInvalidBitmap();
}

enum class TBitmapCompression { None, Rle8, Rle4, BitFields };

struct TBitmapHeader {
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;       // number of rows, always positive
  bool FTopDown = false;          // the first row in the file is the top row
  std::uint16_t FBitCount = 0;
  TBitmapCompression FCompression = TBitmapCompression::None;
  std::uint32_t FColourCount = 0; // palette entries; 0 for a true-colour picture
  std::uint32_t FPixelOffset = 0; // where the pixel data starts in the file
  std::uint64_t FRowBytes = 0;    // one uncompressed row with its padding to 4 bytes
};

// Reads the file and info headers and checks that the header, the colour table and (for an
// uncompressed picture) every pixel row lie inside File. Throws EInvalidGraphic otherwise.
TBitmapHeader ReadBitmapHeader(std::span<const std::uint8_t> File);
