#pragma once
// The frame of a dialog window: a raised border, a caption bar and an optional close box.
#include "forms/Canvas.h"

#include <string>

// Size is the window's outer size; CloseBox is in window coordinates, empty for none.
void PaintWindowFrame(TCanvas& C, TPoint Size, int32_t Frame, int32_t CaptionHeight, const std::string& Caption,
                      const TFont& Font, const TRect& CloseBox);
// A raised or sunken 3D edge just inside R.
void PaintEdge(TCanvas& C, const TRect& R, bool Raised);
