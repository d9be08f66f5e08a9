#include "forms/Graphics.h"

#include <array>
#include <stdexcept>
#include <utility>

namespace {

constexpr uint32_t BgrToRgb(uint32_t Bgr) {
  return ((Bgr & 0xFF) << 16) | (Bgr & 0xFF00) | ((Bgr >> 16) & 0xFF);
}

constexpr std::array<std::pair<const char*, TColor>, 22> ColorNames{{
    {"clBlack", clBlack},         {"clMaroon", clMaroon},         {"clGreen", clGreen},
    {"clNavy", clNavy},           {"clGray", clGray},             {"clSilver", clSilver},
    {"clRed", clRed},             {"clLime", clLime},             {"clBlue", clBlue},
    {"clYellow", clYellow},       {"clWhite", clWhite},           {"clNone", clNone},
    {"clActiveCaption", clActiveCaption}, {"clWindow", clWindow}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},     {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},   {"clBtnText", clBtnText},       {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
}};

}  // namespace

uint32_t ColorToRGB(TColor Color) {
  if (Color >= 0) return BgrToRgb(static_cast<uint32_t>(Color));
  switch (Color) {
    case clActiveCaption: return 0x000080;
    case clWindow: return 0xFFFFFF;
    case clWindowText: return 0x000000;
    case clCaptionText: return 0xFFFFFF;
    case clBtnFace: return 0xC0C0C0;
    case clBtnShadow: return 0x808080;
    case clGrayText: return 0x808080;
    case clBtnText: return 0x000000;
    case clBtnHighlight: return 0xFFFFFF;
    case cl3DDkShadow: return 0x000000;
    default: return 0x000000;
  }
}

TColor StringToColor(const std::string& Text) {
  for (const auto& [Name, Value] : ColorNames)
    if (Text == Name) return Value;
  if (Text.size() == 9 && Text[0] == '$') {
    size_t Used = 0;
    const unsigned long Value = std::stoul(Text.substr(1), &Used, 16);
    if (Used == 8) return static_cast<TColor>(Value);
  }
  throw std::invalid_argument("unknown colour " + Text);
}
