#include "forms/Bitmap.h"

TBitmap::TBitmap(TSurfacePtr Pixels) : FPixels(std::move(Pixels)) {
  if (FPixels) {
    // Bitmaps are copied as they are: no blending, no transparent colour.
    SDL_SetSurfaceBlendMode(FPixels.get(), SDL_BLENDMODE_NONE);
    SDL_SetColorKey(FPixels.get(), SDL_FALSE, 0);
    FCanvas.Attach(FPixels.get(), {0, 0}, {0, 0, FPixels->w, FPixels->h});
  }
}

TBitmap::TBitmap(const TBitmap& Other) : TBitmap(Other.FPixels) { FPaletteModified = Other.FPaletteModified; }

HPALETTE TBitmap::Palette() const { return FPixels && FPixels->format->palette ? FPixels->format->palette : nullptr; }
