// Draws the four demo pictures of the menu into the folder given as the only argument:
// the menu and its highlighted twin as 8-bit pictures with a palette, as artwork of the
// period was, and the credits page and its twin as 24-bit pictures.
#include "os/FontLibrary.h"

#include <SDL2/SDL.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

namespace {

constexpr int32_t ScreenWidth = 640;
constexpr int32_t ScreenHeight = 480;

struct TMoon {
  TRect Area;
  uint32_t Color;
  const char* Name;
};

// The hot-spot rectangles of the menu and the credits page.
constexpr TMoon Moons[] = {
    {{29, 115, 143, 246}, 0xC8C8C0, "Level 1"},
    {{187, 114, 300, 245}, 0xD87040, "Level 2"},
    {{341, 112, 455, 246}, 0x6090E0, "Level 3"},
    {{489, 112, 606, 245}, 0x60C060, "Level 4"},
};
constexpr TRect OptionsArea{230, 296, 412, 321};
constexpr TRect CreditsArea{230, 322, 411, 347};
constexpr TRect ExitArea{231, 347, 410, 372};
constexpr TRect OkArea{244, 416, 393, 440};

using TSurface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

TSurface NewCanvas() {
  TSurface Surface(SDL_CreateRGBSurfaceWithFormat(0, ScreenWidth, ScreenHeight, 32, SDL_PIXELFORMAT_XRGB8888),
                   SDL_FreeSurface);
  if (!Surface) throw std::runtime_error(SDL_GetError());
  return Surface;
}

uint32_t Scale(uint32_t Rgb, double Factor) {
  auto Channel = [&](int Shift) {
    const double Value = ((Rgb >> Shift) & 0xFF) * Factor;
    return static_cast<uint32_t>(std::clamp(Value, 0.0, 255.0)) << Shift;
  };
  return Channel(16) | Channel(8) | Channel(0);
}

void Fill(SDL_Surface* S, const TRect& R, uint32_t Rgb) {
  SDL_Rect Area{R.Left, R.Top, R.Width(), R.Height()};
  SDL_FillRect(S, &Area, SDL_MapRGB(S->format, Rgb >> 16, (Rgb >> 8) & 0xFF, Rgb & 0xFF));
}

void Plot(SDL_Surface* S, int32_t X, int32_t Y, uint32_t Rgb) { Fill(S, {X, Y, X + 1, Y + 1}, Rgb); }

// A night sky in a few bands with a fixed scatter of stars.
void DrawSky(SDL_Surface* S, uint32_t Top, uint32_t Bottom) {
  constexpr int Bands = 24;
  for (int Band = 0; Band < Bands; ++Band) {
    const double T = Band / double(Bands - 1);
    auto Mix = [&](int Shift) {
      return static_cast<uint32_t>(((Top >> Shift) & 0xFF) * (1 - T) + ((Bottom >> Shift) & 0xFF) * T) << Shift;
    };
    Fill(S, {0, Band * ScreenHeight / Bands, ScreenWidth, (Band + 1) * ScreenHeight / Bands}, Mix(16) | Mix(8) | Mix(0));
  }
  uint32_t Seed = 12345;
  for (int Star = 0; Star < 160; ++Star) {
    Seed = Seed * 1103515245 + 12345;
    const int32_t X = (Seed >> 8) % ScreenWidth;
    Seed = Seed * 1103515245 + 12345;
    const int32_t Y = (Seed >> 8) % ScreenHeight;
    Plot(S, X, Y, Star % 3 == 0 ? 0xFFFFFF : 0x9090A8);
  }
}

// A shaded disc lit from the upper left, in a few rings of shade.
void DrawMoon(SDL_Surface* S, int32_t CX, int32_t CY, int32_t Radius, uint32_t Rgb, bool Glow) {
  if (Glow)
    for (int32_t Y = -Radius - 6; Y <= Radius + 6; ++Y)
      for (int32_t X = -Radius - 6; X <= Radius + 6; ++X) {
        const double D = std::hypot(X, Y);
        if (D > Radius && D <= Radius + 6) Plot(S, CX + X, CY + Y, Scale(Rgb, 1.0 - static_cast<int>(D - Radius) * 0.15));
      }
  for (int32_t Y = -Radius; Y <= Radius; ++Y)
    for (int32_t X = -Radius; X <= Radius; ++X) {
      if (std::hypot(X, Y) > Radius) continue;
      const double Light = std::hypot(X + Radius / 2.0, Y + Radius / 2.0) / (1.6 * Radius);
      const int Shade = static_cast<int>(std::clamp(Light, 0.0, 1.0) * 7);
      Plot(S, CX + X, CY + Y, Scale(Rgb, (Glow ? 1.35 : 1.0) - Shade * 0.1));
    }
}

void DrawCentred(SDL_Surface* S, const TFontFace& Face, const TRect& Area, const std::string& Text, uint32_t Rgb) {
  const TPoint Extent = Face.TextExtent(Text);
  Face.DrawText(S, Area.Left + (Area.Width() - Extent.X) / 2, Area.Top + (Area.Height() - Extent.Y) / 2, Text, Rgb,
                {0, 0, ScreenWidth, ScreenHeight});
}

void DrawButtonText(SDL_Surface* S, const TFontFace& Face, const TRect& Area, const std::string& Text, bool Lit) {
  if (Lit) {
    Fill(S, Area, 0x302060);
    Fill(S, {Area.Left, Area.Top, Area.Right, Area.Top + 1}, 0xF0D060);
    Fill(S, {Area.Left, Area.Bottom - 1, Area.Right, Area.Bottom}, 0xF0D060);
  }
  DrawCentred(S, Face, Area, Text, Lit ? 0xFFE070 : 0xB0B0C8);
}

TSurface DrawMenu(TFontLibrary& Fonts, bool Lit) {
  TSurface S = NewCanvas();
  DrawSky(S.get(), 0x080818, 0x281848);
  const TFontFace& Title = Fonts.Face("Liberation Sans", 56, true);
  DrawCentred(S.get(), Title, {0, 26, ScreenWidth, 90}, "DUSTROVER", 0x603010);
  DrawCentred(S.get(), Title, {-3, 23, ScreenWidth - 3, 87}, "DUSTROVER", 0xE0B040);
  const TFontFace& Small = Fonts.Face("Liberation Sans", 14);
  for (const TMoon& Moon : Moons) {
    const int32_t CX = (Moon.Area.Left + Moon.Area.Right) / 2;
    DrawMoon(S.get(), CX, Moon.Area.Top + 52, 44, Moon.Color, Lit);
    DrawCentred(S.get(), Small, {Moon.Area.Left, Moon.Area.Bottom - 26, Moon.Area.Right, Moon.Area.Bottom - 4},
                Moon.Name, Lit ? 0xFFE070 : 0xB0B0C8);
  }
  const TFontFace& Menu = Fonts.Face("Liberation Sans", 18, true);
  DrawButtonText(S.get(), Menu, OptionsArea, "Options", Lit);
  DrawButtonText(S.get(), Menu, CreditsArea, "Credits", Lit);
  DrawButtonText(S.get(), Menu, ExitArea, "Exit", Lit);
  return S;
}

TSurface DrawCredits(TFontLibrary& Fonts, bool Lit) {
  TSurface S = NewCanvas();
  DrawSky(S.get(), 0x100808, 0x382010);
  DrawCentred(S.get(), Fonts.Face("Liberation Sans", 40, true), {0, 40, ScreenWidth, 100}, "Credits", 0xE0B040);
  const TFontFace& Body = Fonts.Face("Liberation Sans", 16);
  const char* Lines[] = {"The Dustrover start menu", "", "Made by the Dustrover menu team",
                         "Class library on SDL2 and SDL2_ttf", "Text set in Liberation Sans",
                         "", "Thank you for playing"};
  int32_t Y = 140;
  for (const char* Line : Lines) {
    DrawCentred(S.get(), Body, {0, Y, ScreenWidth, Y + 24}, Line, 0xD0C8B8);
    Y += 30;
  }
  DrawButtonText(S.get(), Fonts.Face("Liberation Sans", 18, true), OkArea, "OK", Lit);
  return S;
}

// Converts a picture of at most 256 colours to an 8-bit picture with its own palette.
TSurface ToPaletted(SDL_Surface* Source) {
  std::map<uint32_t, uint8_t> Index;
  TSurface Result(SDL_CreateRGBSurfaceWithFormat(0, Source->w, Source->h, 8, SDL_PIXELFORMAT_INDEX8), SDL_FreeSurface);
  if (!Result) throw std::runtime_error(SDL_GetError());
  SDL_Color Colors[256] = {};
  for (int32_t Y = 0; Y < Source->h; ++Y) {
    const auto* Row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(Source->pixels) + Y * Source->pitch);
    auto* Out = static_cast<uint8_t*>(Result->pixels) + Y * Result->pitch;
    for (int32_t X = 0; X < Source->w; ++X) {
      const uint32_t Rgb = Row[X] & 0xFFFFFF;
      auto It = Index.find(Rgb);
      if (It == Index.end()) {
        if (Index.size() == 256) throw std::runtime_error("the menu picture has more than 256 colours");
        const auto Next = static_cast<uint8_t>(Index.size());
        Colors[Next] = {static_cast<Uint8>(Rgb >> 16), static_cast<Uint8>(Rgb >> 8), static_cast<Uint8>(Rgb), 255};
        It = Index.emplace(Rgb, Next).first;
      }
      Out[X] = It->second;
    }
  }
  SDL_SetPaletteColors(Result->format->palette, Colors, 0, 256);
  return Result;
}

TSurface ToTrueColor(SDL_Surface* Source) {
  TSurface Result(SDL_ConvertSurfaceFormat(Source, SDL_PIXELFORMAT_BGR24, 0), SDL_FreeSurface);
  if (!Result) throw std::runtime_error(SDL_GetError());
  return Result;
}

void Save(const TSurface& Picture, const std::string& Path) {
  if (SDL_SaveBMP(Picture.get(), Path.c_str()) != 0) throw std::runtime_error("cannot write " + Path + ": " + SDL_GetError());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_pictures FOLDER\n");
    return 2;
  }
  const std::string Folder = argv[1];
  try {
    TFontLibrary Fonts;
    Save(ToPaletted(DrawMenu(Fonts, false).get()), Folder + "/menu1.bmp");
    Save(ToPaletted(DrawMenu(Fonts, true).get()), Folder + "/menu2.bmp");
    Save(ToTrueColor(DrawCredits(Fonts, false).get()), Folder + "/credits1.bmp");
    Save(ToTrueColor(DrawCredits(Fonts, true).get()), Folder + "/credits2.bmp");
  } catch (const std::exception& E) {
    std::fprintf(stderr, "demo_pictures: %s\n", E.what());
    return 1;
  }
  return 0;
}
