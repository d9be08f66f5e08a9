#include "forms/Canvas.h"

#include "forms/Application.h"

#include <cstdlib>

namespace {

Uint32 MapColor(SDL_Surface* Surface, TColor Color) {
  const uint32_t Rgb = ColorToRGB(Color);
  return SDL_MapRGB(Surface->format, (Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF, Rgb & 0xFF);
}

SDL_Rect ToSdl(const TRect& R) { return {R.Left, R.Top, R.Width(), R.Height()}; }

}  // namespace

void TCanvas::Attach(SDL_Surface* Target, TPoint Origin, TRect Clip) {
  FTarget = Target;
  FOrigin = Origin;
  FClip = Target ? Clip.Intersection({0, 0, Target->w, Target->h}) : TRect{};
}

void TCanvas::FillArea(const TRect& R, TColor Color) {
  if (!FTarget) return;
  const TRect Area = R.Offset(FOrigin.X, FOrigin.Y).Intersection(FClip);
  if (Area.IsEmpty()) return;
  SDL_Rect Rect = ToSdl(Area);
  SDL_FillRect(FTarget, &Rect, MapColor(FTarget, Color));
}

void TCanvas::FillRect(const TRect& R) {
  if (Brush.Style != TBrushStyle::Clear) FillArea(R, Brush.Color);
}

void TCanvas::FrameRect(const TRect& R) {
  FillArea({R.Left, R.Top, R.Right, R.Top + 1}, Brush.Color);
  FillArea({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Brush.Color);
  FillArea({R.Left, R.Top, R.Left + 1, R.Bottom}, Brush.Color);
  FillArea({R.Right - 1, R.Top, R.Right, R.Bottom}, Brush.Color);
}

bool TCanvas::PenDrawsAt(int32_t Step) const {
  switch (Pen.Style) {
    case TPenStyle::Solid: return true;
    case TPenStyle::Dash: return Step % 9 < 6;
    case TPenStyle::Dot: return Step % 2 == 0;
    case TPenStyle::Clear: return false;
  }
  return false;
}

void TCanvas::Rectangle(const TRect& R) {
  const int32_t W = Pen.Style == TPenStyle::Clear ? 0 : std::max(1, Pen.Width);
  FillRect({R.Left + W, R.Top + W, R.Right - W, R.Bottom - W});
  if (W == 0) return;
  if (Pen.Style == TPenStyle::Solid) {
    FillArea({R.Left, R.Top, R.Right, R.Top + W}, Pen.Color);
    FillArea({R.Left, R.Bottom - W, R.Right, R.Bottom}, Pen.Color);
    FillArea({R.Left, R.Top, R.Left + W, R.Bottom}, Pen.Color);
    FillArea({R.Right - W, R.Top, R.Right, R.Bottom}, Pen.Color);
    return;
  }
  // Broken pens are one pixel wide, as on the original platform.
  for (int32_t X = R.Left; X < R.Right; ++X) {
    if (!PenDrawsAt(X - R.Left)) continue;
    SetPixel(X, R.Top, Pen.Color);
    SetPixel(X, R.Bottom - 1, Pen.Color);
  }
  for (int32_t Y = R.Top; Y < R.Bottom; ++Y) {
    if (!PenDrawsAt(Y - R.Top)) continue;
    SetPixel(R.Left, Y, Pen.Color);
    SetPixel(R.Right - 1, Y, Pen.Color);
  }
}

void TCanvas::DrawFocusRect(const TRect& R) {
  for (int32_t X = R.Left; X < R.Right; X += 2) {
    SetPixel(X, R.Top, Pen.Color);
    SetPixel(X, R.Bottom - 1, Pen.Color);
  }
  for (int32_t Y = R.Top; Y < R.Bottom; Y += 2) {
    SetPixel(R.Left, Y, Pen.Color);
    SetPixel(R.Right - 1, Y, Pen.Color);
  }
}

void TCanvas::SetPixel(int32_t X, int32_t Y, TColor Color) { FillArea({X, Y, X + 1, Y + 1}, Color); }

void TCanvas::LineTo(int32_t X, int32_t Y) {
  // Bresenham; the end point is not drawn, as on the original platform.
  int32_t X0 = FPenPos.X, Y0 = FPenPos.Y;
  const int32_t DX = std::abs(X - X0), SX = X0 < X ? 1 : -1;
  const int32_t DY = -std::abs(Y - Y0), SY = Y0 < Y ? 1 : -1;
  int32_t Error = DX + DY;
  for (int32_t Step = 0; X0 != X || Y0 != Y; ++Step) {
    if (PenDrawsAt(Step)) FillArea({X0, Y0, X0 + std::max(1, Pen.Width), Y0 + std::max(1, Pen.Width)}, Pen.Color);
    const int32_t E2 = 2 * Error;
    if (E2 >= DY) { Error += DY; X0 += SX; }
    if (E2 <= DX) { Error += DX; Y0 += SY; }
  }
  FPenPos = {X, Y};
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas& SourceCanvas, const TRect& Source) {
  SDL_Surface* SourceSurface = SourceCanvas.FTarget;
  if (!FTarget || Dest.IsEmpty() || Source.IsEmpty()) return;
  const TRect SourceBounds = SourceSurface ? TRect{0, 0, SourceSurface->w, SourceSurface->h} : TRect{};
  if (!SourceBounds.Contains(Source)) FillArea(Dest, clBlack);
  if (!SourceSurface) return;

  const TRect Target = Dest.Offset(FOrigin.X, FOrigin.Y);
  SDL_Rect Clip = ToSdl(FClip);
  SDL_Rect OldClip;
  SDL_GetClipRect(FTarget, &OldClip);
  SDL_SetClipRect(FTarget, &Clip);
  SDL_Rect From = ToSdl(Source);
  SDL_Rect To = ToSdl(Target);
  if (Source.Width() == Dest.Width() && Source.Height() == Dest.Height()) {
    SDL_BlitSurface(SourceSurface, &From, FTarget, &To);
  } else {
    // Scaled blits need a true-colour source; convert the part once. The part is scaled whole
    // and only the 1:1 copy is clipped: SDL rounds the source of a clipped scaled blit, which
    // would shift the picture by a pixel wherever the clip cuts into it.
    SDL_Surface* Part = SDL_CreateRGBSurfaceWithFormat(0, From.w, From.h, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_Surface* Scaled = SDL_CreateRGBSurfaceWithFormat(0, To.w, To.h, 32, SDL_PIXELFORMAT_XRGB8888);
    if (Part && Scaled) {
      SDL_FillRect(Part, nullptr, 0);
      SDL_Rect PartRect{0, 0, From.w, From.h};
      SDL_BlitSurface(SourceSurface, &From, Part, &PartRect);
      SDL_BlitScaled(Part, nullptr, Scaled, nullptr);
      SDL_BlitSurface(Scaled, nullptr, FTarget, &To);
    }
    SDL_FreeSurface(Scaled);
    SDL_FreeSurface(Part);
  }
  SDL_SetClipRect(FTarget, &OldClip);
}

void TCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
  if (!FTarget || Text.empty()) return;
  const TFontFace& Face = Application->Fonts().Face(Font.Name, Font.PixelHeight(), Font.Bold);
  const TPoint Extent = Face.TextExtent(Text);
  if (Brush.Style != TBrushStyle::Clear) FillArea(Bounds(X, Y, Extent.X, Extent.Y), Brush.Color);
  Face.DrawText(FTarget, X + FOrigin.X, Y + FOrigin.Y, Text, ColorToRGB(Font.Color), FClip);
}

TPoint TCanvas::TextExtent(std::string_view Text) const {
  if (Text.empty()) return {0, Application->Fonts().Face(Font.Name, Font.PixelHeight(), Font.Bold).TextExtent("W").Y};
  return Application->Fonts().Face(Font.Name, Font.PixelHeight(), Font.Bold).TextExtent(Text);
}
