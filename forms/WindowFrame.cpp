#include "forms/WindowFrame.h"

void PaintEdge(TCanvas& C, const TRect& R, bool Raised) {
  const TColor Light = Raised ? clBtnHighlight : clBtnShadow;
  const TColor Dark = Raised ? cl3DDkShadow : clBtnHighlight;
  C.Brush = {Light, TBrushStyle::Solid};
  C.FillRect({R.Left, R.Top, R.Right - 1, R.Top + 1});
  C.FillRect({R.Left, R.Top, R.Left + 1, R.Bottom - 1});
  C.Brush.Color = Dark;
  C.FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
  C.FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
  if (Raised) {
    C.Brush.Color = clBtnShadow;
    C.FillRect({R.Left + 1, R.Bottom - 2, R.Right - 1, R.Bottom - 1});
    C.FillRect({R.Right - 2, R.Top + 1, R.Right - 1, R.Bottom - 1});
  }
}

void PaintWindowFrame(TCanvas& C, TPoint Size, int32_t Frame, int32_t CaptionHeight, const std::string& Caption,
                      const TFont& Font, const TRect& CloseBox) {
  const int32_t W = Size.X, H = Size.Y;
  C.Brush = {clBtnFace, TBrushStyle::Solid};
  C.FrameRect({0, 0, W, H});
  C.FrameRect({1, 1, W - 1, H - 1});
  C.FrameRect({2, 2, W - 2, H - 2});
  PaintEdge(C, {0, 0, W, H}, true);
  C.Brush = {clActiveCaption, TBrushStyle::Solid};
  C.FillRect({Frame, Frame, W - Frame, Frame + CaptionHeight - 1});
  C.Font = Font;
  C.Font.Color = clCaptionText;
  C.Font.Bold = true;
  C.Brush.Style = TBrushStyle::Clear;
  C.TextOut(Frame + 4, Frame + (CaptionHeight - 1 - C.TextExtent(Caption).Y) / 2, Caption);
  if (CloseBox.IsEmpty()) return;
  const TRect& R = CloseBox;
  C.Brush = {clBtnFace, TBrushStyle::Solid};
  C.FillRect(R);
  PaintEdge(C, R, true);
  C.Pen = {clBtnText, 1, TPenStyle::Solid};
  for (int32_t Offset = 0; Offset < 2; ++Offset) {
    C.MoveTo(R.Left + 4 + Offset, R.Top + 3);
    C.LineTo(R.Left + 11 + Offset, R.Top + 10);
    C.MoveTo(R.Left + 10 + Offset, R.Top + 3);
    C.LineTo(R.Left + 3 + Offset, R.Top + 10);
  }
}
