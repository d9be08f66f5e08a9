#include "forms/GroupBox.h"

namespace {

// The caption starts this far from the frame's left edge.
constexpr int32_t CaptionLeft = 8;

}  // namespace

TGroupBox::TGroupBox() { SetTabStop(false); }

void TGroupBox::Paint() {
  TCanvas& C = Canvas();
  C.Font = Font();
  const TPoint Text = C.TextExtent(Caption());
  // The frame's top line runs through the middle of the caption.
  const int32_t FrameTop = Text.Y / 2;
  C.Brush = {clBtnHighlight, TBrushStyle::Solid};
  C.FrameRect({1, FrameTop + 1, Width(), Height()});
  C.Brush.Color = clBtnShadow;
  C.FrameRect({0, FrameTop, Width() - 1, Height() - 1});
  if (Caption().empty()) return;
  // Drawn on the control's colour, so the frame line stops on either side of the caption.
  C.Font.Color = Enabled() ? clBtnText : clGrayText;
  C.Brush = {Color(), TBrushStyle::Solid};
  C.TextOut(CaptionLeft, 0, Caption());
}
