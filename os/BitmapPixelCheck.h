#pragma once
// Checks a bitmap's pixel data before SDL decodes it: every palette index names a colour of the
// palette, and run-length data stays inside its rows and ends with its end-of-picture mark.
// SDL 2.26 checks neither for run-length pictures: it keeps indices past the palette, which later
// blits look up past the end of their colour maps, and it lets runs spill into the next row.
#include <cstdint>
#include <span>

#include "os/BitmapHeader.h"

// Throws EInvalidGraphic when the pixel data of File, laid out as Header says, is not safe to decode.
void CheckBitmapPixels(const TBitmapHeader& Header, std::span<const std::uint8_t> File);
