#pragma once
// A bitmap graphic: pixels shared between copies, an optional palette and a canvas on them.
#include "forms/Canvas.h"
#include "os/Surface.h"

class TBitmap {
public:
  TBitmap() = default;  // empty: 0x0, no pixels
  explicit TBitmap(TSurfacePtr Pixels);
  TBitmap(const TBitmap& Other);  // shares the pixels
  TBitmap& operator=(const TBitmap&) = delete;

  int32_t Width() const { return FPixels ? FPixels->w : 0; }
  int32_t Height() const { return FPixels ? FPixels->h : 0; }
  bool Empty() const { return !FPixels; }
  const TSurfacePtr& Pixels() const { return FPixels; }

  // The palette of a paletted picture, nullptr for true-colour ones.
  HPALETTE Palette() const;
  bool PaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool Value) { FPaletteModified = Value; }

  // A canvas whose target is the bitmap's pixels.
  TCanvas& Canvas() { return FCanvas; }
  const TCanvas& Canvas() const { return FCanvas; }

private:
  TSurfacePtr FPixels;
  TCanvas FCanvas;
  bool FPaletteModified = false;
};
