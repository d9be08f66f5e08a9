#include "os/FontFace.h"

#include "os/Exceptions.h"
#include "os/Surface.h"

TFontFace::TFontFace(const std::string& FileName, long Index, int32_t PixelHeight, bool SyntheticBold)
    : FFileName(FileName) {
  // SDL_ttf sizes fonts in points at 72 dpi, where one point is one pixel.
  FFont = TTF_OpenFontIndex(FileName.c_str(), PixelHeight, Index);
  if (!FFont) throw Exception("Cannot open font file \"" + FileName + "\": " + TTF_GetError());
  // Full hinting snaps stems to whole pixels, which keeps small solid text crisp; it also gives
  // the widths that the layouts were made with.
  TTF_SetFontHinting(FFont, TTF_HINTING_NORMAL);
  if (SyntheticBold) TTF_SetFontStyle(FFont, TTF_STYLE_BOLD);
}

TFontFace::~TFontFace() { TTF_CloseFont(FFont); }

int32_t TFontFace::Height() const { return TTF_FontHeight(FFont); }

int32_t TFontFace::Ascent() const { return TTF_FontAscent(FFont); }

std::string TFontFace::FamilyName() const {
  const char* Name = TTF_FontFaceFamilyName(FFont);
  return Name ? Name : "";
}

TPoint TFontFace::TextExtent(std::string_view Utf8) const {
  // SDL_ttf reads terminated strings: the text ends at an embedded NUL, here as when drawing.
  const std::string Text(Utf8);
  int Width = 0;
  int LineHeight = 0;
  if (TTF_SizeUTF8(FFont, Text.c_str(), &Width, &LineHeight) != 0)
    throw Exception(std::string("Cannot measure text: ") + TTF_GetError());
  return {Width, Height()};
}

void TFontFace::DrawText(SDL_Surface* Target, int32_t X, int32_t Y, std::string_view Utf8, uint32_t ColorRgb,
                         const TRect& Clip) const {
  if (!Target || Utf8.empty()) return;
  const std::string Text(Utf8);
  const TPoint Extent = TextExtent(Text);
  SDL_Rect TargetClip;
  SDL_GetClipRect(Target, &TargetClip);
  const TRect Visible = Clip.Intersection(Bounds(TargetClip.x, TargetClip.y, TargetClip.w, TargetClip.h))
                            .Intersection(Bounds(X, Y, Extent.X, Extent.Y));
  // Rendering is the expensive part: skip it when nothing would show.
  if (Visible.IsEmpty()) return;

  const SDL_Color Color{static_cast<Uint8>(ColorRgb >> 16), static_cast<Uint8>(ColorRgb >> 8),
                        static_cast<Uint8>(ColorRgb), SDL_ALPHA_OPAQUE};
  // Solid rendering gives an 8-bit surface: index 1 is the colour, index 0 the transparent key.
  const TSurfacePtr Glyphs = AdoptSurface(TTF_RenderUTF8_Solid(FFont, Text.c_str(), Color));
  if (!Glyphs) throw Exception(std::string("Cannot draw text: ") + TTF_GetError());

  SDL_Rect VisibleRect{Visible.Left, Visible.Top, Visible.Width(), Visible.Height()};
  SDL_SetClipRect(Target, &VisibleRect);
  SDL_Rect Dest{X, Y, 0, 0};
  const int Result = SDL_BlitSurface(Glyphs.get(), nullptr, Target, &Dest);
  SDL_SetClipRect(Target, &TargetClip);
  if (Result != 0) throw Exception(std::string("Cannot draw text: ") + SDL_GetError());
}
