#include "os/Palette.h"

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, bool ForceBackground) {
  if (!DC) return nullptr;
  const HPALETTE Previous = DC->SelectedPalette;
  DC->SelectedPalette = Palette;
  DC->SelectedAsBackground = ForceBackground;
  ++DC->SelectPaletteCalls;
  return Previous;
}

uint32_t RealizePalette(HDC DC) {
  if (!DC) return 0;
  ++DC->RealizePaletteCalls;
  return DC->SelectedPalette ? static_cast<uint32_t>(DC->SelectedPalette->ncolors) : 0;
}
