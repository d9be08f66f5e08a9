#pragma once
// Which colours a 16-bit (RGB565) screen shows unchanged. While the menu holds its 16-bit mode it
// draws into a 16-bit buffer that SDL widens back to the screen's 8 bits a channel, so a test
// colour that does not survive that round trip would read back slightly different
// (0x000080 as 0x000083, green 0x83 as 0x81).
#include "e2e/Rgb.h"

// Asks SDL itself, so the answer is that of the SDL the menu runs on.
bool ShowsUnchangedIn16Bit(TRgb Colour);
