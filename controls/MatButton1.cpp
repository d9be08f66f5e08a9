#include "controls/MatButton1.h"

#include "controls/MatContainer1.h"
#include "forms/LayoutValues.h"
#include "forms/Picture.h"

void MatButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
      Invalidate();
      TGraphicControl::Dispatch(Message);
      break;
    case CM_MOUSELEAVE:
      FMouseInside = false;
      Invalidate();
      break;
    case CM_MOUSEENTER:
      FMouseInside = true;
      Invalidate();
      break;
    case WM_LBUTTONDOWN:
      // The press replaces the usual mouse-down handling: no capture, no click on release.
      if (FOnLeftButtonDown) CallHandler([&] { FOnLeftButtonDown(this); });
      break;
    default:
      TGraphicControl::Dispatch(Message);
  }
}

bool MatButton::SetEvent(const std::string& Name, const TMethod& Handler) {
  if (Name != "OnLeftButtonDown") return TGraphicControl::SetEvent(Name, Handler);
  FOnLeftButtonDown = LayoutNotifyEvent(Handler);
  return true;
}

void MatButton::Paint() {
  auto* Container = dynamic_cast<MatContainer*>(Parent());
  if (!Container) return;
  TCanvas& C = Canvas();
  // Copies share the pictures' pixels, so they cost no pixel copy.
  TPicture Normal, Highlighted;
  Normal.Assign(Container->Picture1());
  Highlighted.Assign(Container->Picture2());
  const TRect Source = Bounds(Left(), Top(), Width(), Height());
  const TRect Dest{0, 0, Width(), Height()};
  PaintBitmapPart(C, Dest, (FMouseInside || Designing() ? Highlighted : Normal).Bitmap(), Source);
  if (Designing()) {
    C.Pen = {clWhite, 2, TPenStyle::Solid};
    C.Brush.Style = TBrushStyle::Clear;
    C.Rectangle(Dest);
  }
}
