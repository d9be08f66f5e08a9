#include "e2e/Rgb565.h"

#include <SDL2/SDL.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

struct TSurfaceFree {
  void operator()(SDL_Surface* Surface) const { SDL_FreeSurface(Surface); }
};
using TSurface = std::unique_ptr<SDL_Surface, TSurfaceFree>;

TSurface MakeSurface(Uint32 Format) {
  TSurface Surface(SDL_CreateRGBSurfaceWithFormat(0, 1, 1, SDL_BITSPERPIXEL(Format), Format));
  if (!Surface) throw std::runtime_error(std::string("SDL surface: ") + SDL_GetError());
  return Surface;
}

}  // namespace

bool ShowsUnchangedIn16Bit(TRgb Colour) {
  // The same road as on the screen: the colour cut into a 16-bit pixel, then blitted to 32 bits.
  const TSurface Narrow = MakeSurface(SDL_PIXELFORMAT_RGB565);
  const TSurface Wide = MakeSurface(SDL_PIXELFORMAT_XRGB8888);
  SDL_FillRect(Narrow.get(), nullptr, SDL_MapRGB(Narrow->format, Colour.Red(), Colour.Green(), Colour.Blue()));
  if (SDL_BlitSurface(Narrow.get(), nullptr, Wide.get(), nullptr) != 0)
    throw std::runtime_error(std::string("SDL blit: ") + SDL_GetError());
  Uint8 Red = 0, Green = 0, Blue = 0;
  SDL_GetRGB(*static_cast<const Uint32*>(Wide->pixels), Wide->format, &Red, &Green, &Blue);
  return TRgb{(uint32_t{Red} << 16) | (uint32_t{Green} << 8) | Blue} == Colour;
}
