#pragma once
// Reading the main menu off a screenshot: spots and rectangles of the layout, probes of single
// pixels, the version label, the error box, and pictures compared whole.
#include "e2e/Rgb.h"
#include "e2e/ScreenImage.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

struct TSpot {
  int X;
  int Y;
};

// A rectangle as a layout gives it: left, top, width, height.
struct TArea {
  int Left;
  int Top;
  int Width;
  int Height;

  // The last column and row inside.
  constexpr int Right() const { return Left + Width - 1; }
  constexpr int Bottom() const { return Top + Height - 1; }
  constexpr TSpot Centre() const { return {Left + Width / 2, Top + Height / 2}; }
  constexpr TSpot TopLeft() const { return {Left, Top}; }
  constexpr TSpot BottomRight() const { return {Right(), Bottom()}; }
  constexpr bool Contains(TSpot Spot) const {
    return Spot.X >= Left && Spot.X <= Right() && Spot.Y >= Top && Spot.Y <= Bottom();
  }
  // One pixel outside, level with the centre.
  constexpr TSpot LeftOf() const { return {Left - 1, Centre().Y}; }
  constexpr TSpot RightOf() const { return {Right() + 1, Centre().Y}; }
  constexpr TSpot Above() const { return {Centre().X, Top - 1}; }
  constexpr TSpot Below() const { return {Centre().X, Bottom() + 1}; }
};

// One pixel the screen is expected to show.
struct TScreenProbe {
  std::string What;
  TSpot Spot;
  TRgb Expected;
};

// Checks every probe with ShowsAs, naming the failing ones.
void ExpectScreen(const TScreenImage& Screen, const std::vector<TScreenProbe>& Probes);
// The four corner pixels inside Area.
std::vector<TScreenProbe> CornersInside(const TArea& Area, TRgb Expected);
// The eight pixels that touch Area's corners from outside, beside and above or below each.
std::vector<TScreenProbe> CornersOutside(const TArea& Area, TRgb Expected);

class TMenuRun;
// Waits until Spot shows Colour (ShowsAs); a failure says what the spot showed last.
::testing::AssertionResult WaitForColour(const TMenuRun& Menu, TSpot Spot, TRgb Colour);

int CountPixels(const TScreenImage& Screen, const TArea& Area, const std::function<bool(TRgb)>& Counted);

// The colour as a 16-bit (RGB565) screen shows it: cut to 16 bits and widened again the way SDL
// does it (navy 0x000080 shows as 0x000083, white as 0xFFFEFF).
TRgb In16Bit(TRgb Colour);
// True when Seen is Colour as a 24-bit or as a 16-bit screen shows it, so that the same check
// holds whether or not the menu's display mode is in force.
bool ShowsAs(TRgb Seen, TRgb Colour);

// The version label at 602,459, 13 rows high, over a menu picture of one colour: its columns
// reach from 602 to the first column that shows only the picture.
struct TVersionLabel {
  bool StartsAt602And459 = false;  // column 601 and row 458 beside it show the picture
  int Right = 0;                   // the first column past the label
  int RightmostWhite = -1;         // -1: no white pixel
  int BlackPixels = 0;
  int OtherPixels = 0;  // neither white nor black
  TRgb Other;           // one of those
};
TVersionLabel ReadVersionLabel(const TScreenImage& Screen, TRgb Picture);

// The error box as the screen shows it: a caption bar of navy over a face of silver, centred.
// Navy and silver are told with ShowsAs.
struct TDialogSeen {
  int CaptionPixels = 0;  // navy pixels in the middle half of the screen
  int FacePixels = 0;     // silver pixels there
  int CaptionLeft = -1;   // the navy's extent on the whole screen
  int CaptionRight = -1;
  int CaptionTop = -1;
  int CaptionBottom = -1;
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  bool CentredOnScreen = false;  // navy centred left to right, in the upper middle

  bool Shown() const { return CaptionPixels >= 100 && FacePixels >= 100; }
};
TDialogSeen FindDialog(const TScreenImage& Screen);

// Where Screen differs from what ExpectedAt says, over the top-left Width x Height apart from
// the Ignored areas; colours compared with ShowsAs.
struct TDifference {
  int Count = 0;
  TSpot First{-1, -1};
  TRgb Seen;
  TRgb Expected;
};
TDifference CompareScreen(const TScreenImage& Screen, int Width, int Height,
                         const std::function<TRgb(int X, int Y)>& ExpectedAt,
                         const std::vector<TArea>& Ignored = {});

// A picture file (BMP, PNG, ...) read through ImageMagick.
TScreenImage ReadPicture(const std::filesystem::path& Path);
// The top-left Width x Height of Screen written as a PNG without time stamps, so that the same
// screen gives the same file.
void WritePng(const TScreenImage& Screen, int Width, int Height, const std::filesystem::path& Path);
