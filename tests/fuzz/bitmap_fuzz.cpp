// Feeds arbitrary bytes to the bitmap decoder. Besides the sanitizers' own checks, a decoded
// picture must keep the promises that the rest of the program relies on: sides within the limit,
// and in a paletted picture every pixel naming a colour of its palette.
#include <cstddef>
#include <cstdint>

#include "os/BitmapFile.h"

namespace {

void RequireSane(const SDL_Surface& Surface) {
  if (Surface.w <= 0 || Surface.h <= 0 || Surface.w > MaxBitmapSide || Surface.h > MaxBitmapSide) {
    __builtin_trap();
  }
  const SDL_Palette* Palette = Surface.format->palette;
  if (Palette == nullptr) return;
  if (Surface.format->format != SDL_PIXELFORMAT_INDEX8 || Palette->ncolors <= 0) __builtin_trap();
  for (int Y = 0; Y < Surface.h; ++Y) {
    const auto* Row = static_cast<const std::uint8_t*>(Surface.pixels) + static_cast<std::ptrdiff_t>(Y) * Surface.pitch;
    for (int X = 0; X < Surface.w; ++X) {
      if (Row[X] >= Palette->ncolors) __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  try {
    const TSurfacePtr Surface = LoadBitmapFromMemory(Data, Size);
    if (Surface == nullptr) __builtin_trap();
    RequireSane(*Surface);
  } catch (const EInvalidGraphic&) {
    // A refused file is the expected outcome for most inputs.
  }
  return 0;
}
