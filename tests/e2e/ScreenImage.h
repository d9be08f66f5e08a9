#pragma once
// A picture of the whole screen, read from the binary PPM that ImageMagick's import writes.
// One grab answers any number of pixel questions.
#include "e2e/Rgb.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TScreenImage {
public:
  // Throws on anything but an 8-bit binary PPM (P6) of the size its header gives.
  static TScreenImage FromPpm(std::string_view Bytes);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Throws std::out_of_range outside the picture.
  TRgb Pixel(int X, int Y) const;

private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint8_t> FRgb;  // three bytes a pixel, rows from the top
};
