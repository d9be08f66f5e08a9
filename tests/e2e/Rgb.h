#pragma once
// A colour as 0xRRGGBB, compared exactly and printed as #RRGGBB in failure messages.
#include <cstdint>
#include <ostream>

struct TRgb {
  uint32_t Value = 0;

  uint8_t Red() const { return static_cast<uint8_t>(Value >> 16); }
  uint8_t Green() const { return static_cast<uint8_t>(Value >> 8); }
  uint8_t Blue() const { return static_cast<uint8_t>(Value); }
  bool operator==(const TRgb&) const = default;
};

void PrintTo(const TRgb& Colour, std::ostream* Out);

