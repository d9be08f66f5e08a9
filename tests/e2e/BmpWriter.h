#pragma once
// The bytes of uncompressed 24-bit BMP files, the kind of picture the menu is drawn from, so
// that a test knows exactly which colour belongs where.
#include "e2e/Rgb.h"

#include <functional>
#include <string>

// A picture whose pixel at X,Y (from the top-left corner) is PixelAt(X, Y).
std::string BmpFromPixels(int Width, int Height, const std::function<TRgb(int X, int Y)>& PixelAt);

// A picture of one colour, at the menu's 640x480 unless told otherwise.
std::string SolidBmp(TRgb Colour, int Width = 640, int Height = 480);
