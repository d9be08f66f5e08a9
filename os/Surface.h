#pragma once
// Shared ownership of SDL software surfaces: copies of a picture share pixels.
#include <SDL2/SDL.h>
#include <memory>

using TSurfacePtr = std::shared_ptr<SDL_Surface>;

inline TSurfacePtr AdoptSurface(SDL_Surface* Surface) {
  return TSurfacePtr(Surface, [](SDL_Surface* S) { SDL_FreeSurface(S); });
}
