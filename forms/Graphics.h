#pragma once
// Colours, fonts, pens and brushes.
#include <cstdint>
#include <string>

// 0x00BBGGRR as on the original platform; values with the top bit set name system colours.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor SystemColor(int32_t Index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(Index)); }
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);

// The colour as 0xRRGGBB, system colours resolved to the classic desktop scheme.
uint32_t ColorToRGB(TColor Color);
// Parses "clBlack", "clBtnFace", ... or "$00BBGGRR"; throws std::invalid_argument otherwise.
TColor StringToColor(const std::string& Text);

enum class TFontCharset { Default };

struct TFont {
  std::string Name = "MS Sans Serif";
  // Negative: character height in pixels; positive: cell height in pixels.
  int32_t Height = -11;
  TColor Color = clWindowText;
  bool Bold = false;
  TFontCharset Charset = TFontCharset::Default;

  int32_t PixelHeight() const { return Height < 0 ? -Height : Height; }
  friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TPenStyle { Solid, Dash, Dot, Clear };

struct TPen {
  TColor Color = clBlack;
  int32_t Width = 1;
  TPenStyle Style = TPenStyle::Solid;
};

enum class TBrushStyle { Solid, Clear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::Solid;
};
