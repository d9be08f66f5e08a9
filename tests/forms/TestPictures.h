#pragma once
// Pictures for tests: surfaces whose every pixel tells where it came from, so that a copy from
// the wrong place shows; paletted surfaces; bitmap files written into a temporary folder.
#include "forms/Bitmap.h"
#include "os/Surface.h"

#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace TestPictures {

// A colour that differs from its neighbours in every direction (red follows X, green follows Y,
// blue both) and, for a different Seed, differs at the same place as well.
inline uint32_t PatternRgb(int32_t X, int32_t Y, int32_t Seed) {
  const uint32_t Red = static_cast<uint32_t>(X * 7 + Seed * 50) & 0xFF;
  const uint32_t Green = static_cast<uint32_t>(Y * 5 + Seed * 90) & 0xFF;
  const uint32_t Blue = static_cast<uint32_t>((X + 2 * Y) * 3 + Seed * 30 + (X >> 6) * 17 + (Y >> 6) * 29) & 0xFF;
  return (Red << 16) | (Green << 8) | Blue;
}

inline TSurfacePtr NewSurface(int32_t Width, int32_t Height, Uint32 Format = SDL_PIXELFORMAT_XRGB8888) {
  TSurfacePtr Surface =
      AdoptSurface(SDL_CreateRGBSurfaceWithFormat(0, Width, Height, SDL_BITSPERPIXEL(Format), Format));
  if (!Surface) throw std::runtime_error(std::string("cannot create a surface: ") + SDL_GetError());
  return Surface;
}

// Reads a pixel of any surface as 0xRRGGBB.
inline uint32_t SurfaceRgb(const SDL_Surface* Surface, int32_t X, int32_t Y) {
  if (X < 0 || Y < 0 || X >= Surface->w || Y >= Surface->h) throw std::out_of_range("pixel outside the surface");
  const auto* Row = static_cast<const uint8_t*>(Surface->pixels) + Y * Surface->pitch;
  Uint32 Raw = 0;
  switch (Surface->format->BytesPerPixel) {
    case 1: Raw = Row[X]; break;
    case 2: Raw = reinterpret_cast<const uint16_t*>(Row)[X]; break;
    case 3: Raw = static_cast<Uint32>(Row[3 * X]) | (static_cast<Uint32>(Row[3 * X + 1]) << 8) |
                  (static_cast<Uint32>(Row[3 * X + 2]) << 16);
      break;
    default: Raw = reinterpret_cast<const uint32_t*>(Row)[X]; break;
  }
  Uint8 R = 0, G = 0, B = 0;
  SDL_GetRGB(Raw, Surface->format, &R, &G, &B);
  return (static_cast<uint32_t>(R) << 16) | (static_cast<uint32_t>(G) << 8) | B;
}

inline void FillSurface(SDL_Surface* Surface, uint32_t Rgb) {
  SDL_FillRect(Surface, nullptr, SDL_MapRGB(Surface->format, (Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF, Rgb & 0xFF));
}

// A true-colour surface showing PatternRgb(X, Y, Seed).
inline TSurfacePtr PatternSurface(int32_t Width, int32_t Height, int32_t Seed) {
  TSurfacePtr Surface = NewSurface(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y) {
    auto* Row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(Surface->pixels) + Y * Surface->pitch);
    for (int32_t X = 0; X < Width; ++X) Row[X] = PatternRgb(X, Y, Seed);
  }
  return Surface;
}

inline TBitmap PatternBitmap(int32_t Width, int32_t Height, int32_t Seed) {
  return TBitmap(PatternSurface(Width, Height, Seed));
}

// An 8-bit surface with a palette of the given colours (0xRRGGBB); pixel (X, Y) takes entry
// (X + Y) modulo the number of colours.
inline TSurfacePtr PalettedSurface(int32_t Width, int32_t Height, const std::vector<uint32_t>& Colours) {
  TSurfacePtr Surface = NewSurface(Width, Height, SDL_PIXELFORMAT_INDEX8);
  std::vector<SDL_Color> Entries;
  for (uint32_t Rgb : Colours)
    Entries.push_back({static_cast<Uint8>(Rgb >> 16), static_cast<Uint8>(Rgb >> 8), static_cast<Uint8>(Rgb), 255});
  if (SDL_SetPaletteColors(Surface->format->palette, Entries.data(), 0, static_cast<int>(Entries.size())) != 0)
    throw std::runtime_error(std::string("cannot set the palette: ") + SDL_GetError());
  for (int32_t Y = 0; Y < Height; ++Y) {
    auto* Row = static_cast<uint8_t*>(Surface->pixels) + Y * Surface->pitch;
    for (int32_t X = 0; X < Width; ++X) Row[X] = static_cast<uint8_t>((X + Y) % static_cast<int32_t>(Colours.size()));
  }
  return Surface;
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
  TTempFolder() {
    std::string Template = (std::filesystem::temp_directory_path() / "menu-test-XXXXXX").string();
    if (!mkdtemp(Template.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = Template;
  }
  ~TTempFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
  std::filesystem::path FPath;
};

// Writes the surface as a bitmap file (8-bit surfaces keep their palette).
inline void SaveBitmapFile(SDL_Surface* Surface, const std::string& FileName) {
  if (SDL_SaveBMP(Surface, FileName.c_str()) != 0)
    throw std::runtime_error("cannot write " + FileName + ": " + SDL_GetError());
}

}  // namespace TestPictures
