#include "e2e/MainMenuScreen.h"

#include "e2e/ChildProcess.h"
#include "e2e/MenuPictures.h"
#include "e2e/MenuRun.h"
#include "e2e/TempFolder.h"
#include "e2e/WaitUntil.h"

#include <SDL2/SDL.h>
#include <array>
#include <memory>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

constexpr TRgb White{0xFFFFFF};
constexpr TRgb Navy{0x000080};
constexpr TRgb Silver{0xC0C0C0};

// The version label's place and height.
constexpr int LabelLeft = 602, LabelTop = 459, LabelHeight = 13;

std::string SpotText(TSpot Spot) { return std::to_string(Spot.X) + "," + std::to_string(Spot.Y); }

struct TSurfaceFree {
  void operator()(SDL_Surface* Surface) const { SDL_FreeSurface(Surface); }
};
using TSurface = std::unique_ptr<SDL_Surface, TSurfaceFree>;

TSurface MakeSurface(Uint32 Format) {
  TSurface Surface(SDL_CreateRGBSurfaceWithFormat(0, 1, 1, SDL_BITSPERPIXEL(Format), Format));
  if (!Surface) throw std::runtime_error(std::string("SDL surface: ") + SDL_GetError());
  return Surface;
}

// What each 8-bit value of each channel comes back as from a 16-bit screen. RGB565 keeps the
// channels apart, so three tables of 256 answer every colour.
struct TWidenedChannels {
  std::array<uint8_t, 256> Red{}, Green{}, Blue{};

  TWidenedChannels() {
    const TSurface Narrow = MakeSurface(SDL_PIXELFORMAT_RGB565);
    const TSurface Wide = MakeSurface(SDL_PIXELFORMAT_XRGB8888);
    for (int Value = 0; Value < 256; ++Value) {
      const auto V = static_cast<Uint8>(Value);
      SDL_FillRect(Narrow.get(), nullptr, SDL_MapRGB(Narrow->format, V, V, V));
      if (SDL_BlitSurface(Narrow.get(), nullptr, Wide.get(), nullptr) != 0)
        throw std::runtime_error(std::string("SDL blit: ") + SDL_GetError());
      SDL_GetRGB(*static_cast<const Uint32*>(Wide->pixels), Wide->format, &Red[V], &Green[V], &Blue[V]);
    }
  }
};

}  // namespace

void ExpectScreen(const TScreenImage& Screen, const std::vector<TScreenProbe>& Probes) {
  for (const TScreenProbe& Probe : Probes)
    EXPECT_PRED2(ShowsAs, Screen.Pixel(Probe.Spot.X, Probe.Spot.Y), Probe.Expected)
        << Probe.What << " at " << SpotText(Probe.Spot);
}

std::vector<TScreenProbe> CornersInside(const TArea& Area, TRgb Expected) {
  return {
      {"top-left pixel inside", {Area.Left, Area.Top}, Expected},
      {"top-right pixel inside", {Area.Right(), Area.Top}, Expected},
      {"bottom-left pixel inside", {Area.Left, Area.Bottom()}, Expected},
      {"bottom-right pixel inside", {Area.Right(), Area.Bottom()}, Expected},
  };
}

std::vector<TScreenProbe> CornersOutside(const TArea& Area, TRgb Expected) {
  return {
      {"left of the top-left corner", {Area.Left - 1, Area.Top}, Expected},
      {"above the top-left corner", {Area.Left, Area.Top - 1}, Expected},
      {"right of the top-right corner", {Area.Right() + 1, Area.Top}, Expected},
      {"above the top-right corner", {Area.Right(), Area.Top - 1}, Expected},
      {"left of the bottom-left corner", {Area.Left - 1, Area.Bottom()}, Expected},
      {"below the bottom-left corner", {Area.Left, Area.Bottom() + 1}, Expected},
      {"right of the bottom-right corner", {Area.Right() + 1, Area.Bottom()}, Expected},
      {"below the bottom-right corner", {Area.Right(), Area.Bottom() + 1}, Expected},
  };
}

int CountPixels(const TScreenImage& Screen, const TArea& Area, const std::function<bool(TRgb)>& Counted) {
  int Count = 0;
  for (int Y = Area.Top; Y <= Area.Bottom(); ++Y)
    for (int X = Area.Left; X <= Area.Right(); ++X)
      if (Counted(Screen.Pixel(X, Y))) ++Count;
  return Count;
}

TRgb In16Bit(TRgb Colour) {
  static const TWidenedChannels Widened;
  return TRgb{(uint32_t{Widened.Red[Colour.Red()]} << 16) | (uint32_t{Widened.Green[Colour.Green()]} << 8) |
              Widened.Blue[Colour.Blue()]};
}

bool ShowsAs(TRgb Seen, TRgb Colour) { return Seen == Colour || Seen == In16Bit(Colour); }

::testing::AssertionResult WaitForColour(const TMenuRun& Menu, TSpot Spot, TRgb Colour) {
  TRgb Seen;
  if (WaitUntil(
          [&] {
            Seen = Menu.Pixel(Spot.X, Spot.Y);
            return ShowsAs(Seen, Colour);
          },
          std::chrono::seconds(30)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << SpotText(Spot) << " shows " << ::testing::PrintToString(Seen)
                                       << " instead of " << ::testing::PrintToString(Colour);
}

TVersionLabel ReadVersionLabel(const TScreenImage& Screen, TRgb Picture) {
  TVersionLabel Label;
  const int Bottom = LabelTop + LabelHeight - 1;
  auto OnlyPicture = [&](int X) {
    for (int Y = LabelTop; Y <= Bottom; ++Y)
      if (Screen.Pixel(X, Y) != Picture) return false;
    return true;
  };
  int X = LabelLeft;
  for (; X < Screen.Width() && !OnlyPicture(X); ++X) {
    for (int Y = LabelTop; Y <= Bottom; ++Y) {
      const TRgb Seen = Screen.Pixel(X, Y);
      if (ShowsAs(Seen, White)) {
        Label.RightmostWhite = X;
      } else if (ShowsAs(Seen, Black)) {
        ++Label.BlackPixels;
      } else {
        ++Label.OtherPixels;
        Label.Other = Seen;
      }
    }
  }
  Label.Right = X;
  bool Beside = OnlyPicture(LabelLeft - 1);
  for (int Column = LabelLeft; Column < Label.Right; ++Column)
    if (Screen.Pixel(Column, LabelTop - 1) != Picture) Beside = false;
  Label.StartsAt602And459 = Beside && Label.Right > LabelLeft;
  return Label;
}

TDialogSeen FindDialog(const TScreenImage& Screen) {
  TDialogSeen Seen;
  Seen.ScreenWidth = Screen.Width();
  Seen.ScreenHeight = Screen.Height();
  const TArea Middle{Screen.Width() / 4, Screen.Height() / 4, Screen.Width() / 2, Screen.Height() / 2};
  for (int Y = 0; Y < Screen.Height(); ++Y)
    for (int X = 0; X < Screen.Width(); ++X) {
      const TRgb Pixel = Screen.Pixel(X, Y);
      if (ShowsAs(Pixel, Navy)) {
        if (Middle.Contains({X, Y})) ++Seen.CaptionPixels;
        if (Seen.CaptionLeft < 0 || X < Seen.CaptionLeft) Seen.CaptionLeft = X;
        Seen.CaptionRight = std::max(Seen.CaptionRight, X);
        if (Seen.CaptionTop < 0) Seen.CaptionTop = Y;
        Seen.CaptionBottom = Y;
      } else if (ShowsAs(Pixel, Silver) && Middle.Contains({X, Y})) {
        ++Seen.FacePixels;
      }
    }
  if (Seen.CaptionLeft >= 0) {
    // The bar runs from the box's left frame to its right one, so its middle is the box's.
    const int Off = (Seen.CaptionLeft + Seen.CaptionRight) - (Screen.Width() - 1);
    Seen.CentredOnScreen = Off >= -3 && Off <= 3 && Seen.CaptionTop >= Screen.Height() / 4 &&
                           Seen.CaptionBottom < Screen.Height() / 2;
  }
  return Seen;
}

TDifference CompareScreen(const TScreenImage& Screen, int Width, int Height,
                         const std::function<TRgb(int X, int Y)>& ExpectedAt, const std::vector<TArea>& Ignored) {
  TDifference Difference;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      if (std::any_of(Ignored.begin(), Ignored.end(), [&](const TArea& Area) { return Area.Contains({X, Y}); }))
        continue;
      const TRgb Seen = Screen.Pixel(X, Y), Expected = ExpectedAt(X, Y);
      if (ShowsAs(Seen, Expected)) continue;
      if (Difference.Count++ == 0) {
        Difference.First = {X, Y};
        Difference.Seen = Seen;
        Difference.Expected = Expected;
      }
    }
  return Difference;
}

TScreenImage ReadPicture(const std::filesystem::path& Path) {
  const std::vector<std::string> Command = {"convert", Path.string(), "-depth", "8", "ppm:-"};
  const TCommandResult Converted = RunCommand(Command, TEnvironment::Inherited(), std::chrono::seconds(60));
  if (!Converted.Succeeded()) throw std::runtime_error(Converted.Describe(Command));
  return TScreenImage::FromPpm(Converted.Output);
}

void WritePng(const TScreenImage& Screen, int Width, int Height, const std::filesystem::path& Path) {
  const TTempFolder Folder("menu-png-");
  const std::filesystem::path Ppm = Folder.Path() / "screen.ppm";
  {
    std::ofstream File(Ppm, std::ios::binary);
    File << "P6\n" << Width << " " << Height << "\n255\n";
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X) {
        const TRgb Pixel = Screen.Pixel(X, Y);
        File.put(static_cast<char>(Pixel.Red())).put(static_cast<char>(Pixel.Green())).put(static_cast<char>(Pixel.Blue()));
      }
    if (!File.flush()) throw std::runtime_error("cannot write " + Ppm.string());
  }
  std::filesystem::create_directories(Path.parent_path());
  const std::vector<std::string> Command = {"convert", Ppm.string(), "-strip", "-define", "png:exclude-chunks=date,time",
                                            "png:" + Path.string()};
  const TCommandResult Converted = RunCommand(Command, TEnvironment::Inherited(), std::chrono::seconds(60));
  if (!Converted.Succeeded()) throw std::runtime_error(Converted.Describe(Command));
}
