#pragma once
// The desktop's own screen configuration as XRandR sees it: the screen size and, for every
// lit CRTC, its mode, position, rotation and outputs. Read before the display mode is switched,
// it is exactly what has to be put back when the program could not do that itself.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TCrtcLayout {
  uint64_t Crtc = 0;
  uint64_t Mode = 0;
  int32_t X = 0;
  int32_t Y = 0;
  uint32_t Rotation = 1;
  std::vector<uint64_t> Outputs;
  friend bool operator==(const TCrtcLayout&, const TCrtcLayout&) = default;
};

struct TDesktopLayout {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t WidthMm = 0;
  int32_t HeightMm = 0;
  std::vector<TCrtcLayout> Crtcs;
  friend bool operator==(const TDesktopLayout&, const TDesktopLayout&) = default;
};

// The layout of the X display named by $DISPLAY; none when it cannot be opened or has no XRandR.
std::optional<TDesktopLayout> ReadDesktopLayout();

// Puts the X display named by $DISPLAY back into Layout: CRTCs and screen size that differ are
// set again, the rest is left alone. False when the display cannot be opened or refuses.
bool RestoreDesktopLayout(const TDesktopLayout& Layout);

// One line of text for a command line, and back (none for text that is not a layout).
std::string DesktopLayoutToText(const TDesktopLayout& Layout);
std::optional<TDesktopLayout> DesktopLayoutFromText(const std::string& Text);
