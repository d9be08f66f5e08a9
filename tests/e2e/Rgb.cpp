#include "e2e/Rgb.h"

#include <cstdio>

void PrintTo(const TRgb& Colour, std::ostream* Out) {
  char Text[8];
  std::snprintf(Text, sizeof Text, "#%06X", static_cast<unsigned>(Colour.Value & 0xFFFFFF));
  *Out << Text;
}
