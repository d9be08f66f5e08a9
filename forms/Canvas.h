#pragma once
// A drawing surface: a target surface seen through an origin and a clip rectangle, with a
// pen, a brush, a font and a device context that keeps its selected palette.
#include "forms/Graphics.h"
#include "os/Geometry.h"
#include "os/Palette.h"

#include <SDL2/SDL.h>
#include <string_view>

class TCanvas {
public:
  TPen Pen;
  TBrush Brush;
  TFont Font;

  // Points the canvas at Target; Origin is where the canvas's 0,0 lies on the target and
  // Clip, in target coordinates, bounds every drawing.
  void Attach(SDL_Surface* Target, TPoint Origin, TRect Clip);
  void Detach() { FTarget = nullptr; }
  bool HasTarget() const { return FTarget != nullptr; }
  SDL_Surface* Target() const { return FTarget; }
  TPoint Origin() const { return FOrigin; }
  // The clip rectangle in canvas coordinates.
  TRect ClipRect() const { return FClip.Offset(-FOrigin.X, -FOrigin.Y); }

  HDC Handle() { return &FDeviceContext; }

  // Fills with the brush (unless clear) and outlines with the pen (unless clear).
  void Rectangle(const TRect& R);
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  // A dotted rectangle that marks the focused control.
  void DrawFocusRect(const TRect& R);
  void MoveTo(int32_t X, int32_t Y) { FPenPos = {X, Y}; }
  void LineTo(int32_t X, int32_t Y);
  void SetPixel(int32_t X, int32_t Y, TColor Color);
  // Copies Source of SourceCanvas's target to Dest, stretching when the sizes differ.
  // Parts of Source outside the source surface show black.
  void CopyRect(const TRect& Dest, const TCanvas& SourceCanvas, const TRect& Source);
  void TextOut(int32_t X, int32_t Y, std::string_view Text);
  TPoint TextExtent(std::string_view Text) const;

private:
  void FillArea(const TRect& R, TColor Color);
  bool PenDrawsAt(int32_t Step) const;

  SDL_Surface* FTarget = nullptr;
  TPoint FOrigin;
  TRect FClip;
  TPoint FPenPos;
  TDeviceContext FDeviceContext;
};
