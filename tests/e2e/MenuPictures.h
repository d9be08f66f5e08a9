#pragma once
// The four pictures a menu run is drawn from, as plain colours, so that every pixel on the
// screen tells which picture it came from.
#include "e2e/Rgb.h"

struct TMenuPictures {
  TRgb Menu1;     // the normal menu
  TRgb Menu2;     // the highlighted menu
  TRgb Credits1;  // the normal credits page
  TRgb Credits2;  // the highlighted credits page
};

// Four distinct colours that come through a 16-bit (RGB565) screen unchanged, so that the same
// test holds whether or not the display mode switched (0x80 would come back as 0x83; see
// ShowsUnchangedIn16Bit).
inline constexpr TMenuPictures PlainPictures{
    .Menu1 = TRgb{0x000083},
    .Menu2 = TRgb{0x0000FF},
    .Credits1 = TRgb{0x830000},
    .Credits2 = TRgb{0xFF0000},
};

inline constexpr TRgb Black{0x000000};
