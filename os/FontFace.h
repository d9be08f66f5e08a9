#pragma once
// One opened font at one size: measures text and draws it without antialiasing, so every
// text pixel has exactly the text colour, as the bitmap fonts of the old platform had.
#include "os/Geometry.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <cstdint>
#include <string>
#include <string_view>

class TFontFace {
public:
  // Opens face Index of FileName at PixelHeight pixels per em. SyntheticBold thickens the
  // strokes of a regular face when bold was asked for and the font has no bold face.
  TFontFace(const std::string& FileName, long Index, int32_t PixelHeight, bool SyntheticBold);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  // Width of the text and the font's line height, in pixels.
  TPoint TextExtent(std::string_view Utf8) const;
  // Draws the text with its top-left corner at X,Y, touching only pixels inside Clip, the
  // target's clip rectangle and the text's extent. ColorRgb is 0xRRGGBB.
  void DrawText(SDL_Surface* Target, int32_t X, int32_t Y, std::string_view Utf8, uint32_t ColorRgb,
                const TRect& Clip) const;

  int32_t Height() const;
  int32_t Ascent() const;
  std::string FamilyName() const;
  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
  TTF_Font* FFont = nullptr;
};
