#pragma once
// Palette calls on a device context. A canvas's device context keeps the palette that is
// selected into it; on a true-colour screen realizing a palette changes no pixel, but the
// selection is kept and counted, as the old palette-based displays needed.
#include <SDL2/SDL.h>

#include <cstdint>

// A palette handle: the palette of a bitmap, or nullptr for the stock default palette.
using HPALETTE = const SDL_Palette*;

struct TDeviceContext {
  HPALETTE SelectedPalette = nullptr;
  bool SelectedAsBackground = false;
  int SelectPaletteCalls = 0;
  int RealizePaletteCalls = 0;
};

using HDC = TDeviceContext*;

// Selects Palette into the context and returns the palette that was selected before.
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, bool ForceBackground);
// Maps the selected palette's entries; returns how many entries were mapped.
uint32_t RealizePalette(HDC DC);
