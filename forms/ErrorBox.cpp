#include "forms/ErrorBox.h"

#include "forms/Screen.h"
#include "forms/WindowFrame.h"

#include <algorithm>

namespace {

constexpr int32_t Frame = 3;
constexpr int32_t CaptionHeight = 18;
constexpr int32_t IconSize = 32;
constexpr int32_t Margin = 12;
constexpr TPoint ButtonSize{75, 23};

}  // namespace

TErrorBox::TErrorBox(std::string Message, std::string Title) : FMessage(std::move(Message)), FTitle(std::move(Title)) {
  SetCaption(FTitle);
  SetColor(clBtnFace);
  SetTabStop(true);
  TCanvas Measure;
  Measure.Font = Font();
  const TPoint Text = Measure.TextExtent(FMessage);
  const int32_t ClientWidth = std::max(Margin + IconSize + Margin + Text.X + Margin, ButtonSize.X + 2 * Margin);
  const int32_t ClientHeight = Margin + std::max(IconSize, Text.Y) + Margin + ButtonSize.Y + Margin;
  SetBounds(0, 0, ClientWidth + 2 * Frame, ClientHeight + 2 * Frame + CaptionHeight);
}

void TErrorBox::PlaceOnScreen() {
  if (!Screen) return;
  SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
}

TRect TErrorBox::ClientArea() const { return {Frame, Frame + CaptionHeight, Width() - Frame, Height() - Frame}; }

TRect TErrorBox::OkButtonRect() const {
  const TRect Client = ClientArea();
  return Bounds(Client.Left + (Client.Width() - ButtonSize.X) / 2, Client.Bottom - Margin - ButtonSize.Y, ButtonSize.X,
                ButtonSize.Y);
}

TRect TErrorBox::OkButtonScreenRect() const {
  const TPoint Origin = ScreenOrigin();
  return OkButtonRect().Offset(Origin.X, Origin.Y);
}

void TErrorBox::Dispatch(TMessage& Message) {
  const TPoint P{MouseX(Message.LParam), MouseY(Message.LParam)};
  switch (Message.Msg) {
    case WM_CHAR:
      if (Message.WParam == '\r' || Message.WParam == ' ' || Message.WParam == 27) FClosed = true;
      Message.Result = 1;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      FOkPressed = OkButtonRect().Contains(P);
      Invalidate();
      break;
    case WM_LBUTTONUP:
      if (FOkPressed && OkButtonRect().Contains(P)) FClosed = true;
      FOkPressed = false;
      Invalidate();
      break;
    default:
      TWinControl::Dispatch(Message);
  }
}

void TErrorBox::Paint() {
  TCanvas& C = Canvas();
  PaintWindowFrame(C, {Width(), Height()}, Frame, CaptionHeight, FTitle, Font(), {});
  const TRect Client = ClientArea();
  // The error icon: a red disc with a white cross.
  const int32_t IconLeft = Client.Left + Margin, IconTop = Client.Top + Margin;
  const int32_t Radius = IconSize / 2;
  for (int32_t Y = 0; Y < IconSize; ++Y)
    for (int32_t X = 0; X < IconSize; ++X) {
      const int32_t DX = 2 * X + 1 - IconSize, DY = 2 * Y + 1 - IconSize;
      if (DX * DX + DY * DY <= 4 * Radius * Radius) C.SetPixel(IconLeft + X, IconTop + Y, clRed);
    }
  C.Pen = {clWhite, 3, TPenStyle::Solid};
  C.MoveTo(IconLeft + 10, IconTop + 10);
  C.LineTo(IconLeft + 21, IconTop + 21);
  C.MoveTo(IconLeft + 21, IconTop + 10);
  C.LineTo(IconLeft + 10, IconTop + 21);
  C.Font = Font();
  C.Brush.Style = TBrushStyle::Clear;
  const TPoint Text = C.TextExtent(FMessage);
  C.TextOut(IconLeft + IconSize + Margin, IconTop + (IconSize - Text.Y) / 2, FMessage);
  const TRect Button = OkButtonRect();
  C.Brush = {clBtnFace, TBrushStyle::Solid};
  C.FillRect(Button);
  C.Brush.Color = cl3DDkShadow;
  C.FrameRect(Button);
  PaintEdge(C, {Button.Left + 1, Button.Top + 1, Button.Right - 1, Button.Bottom - 1}, !FOkPressed);
  const TPoint Ok = C.TextExtent("OK");
  C.Brush.Style = TBrushStyle::Clear;
  C.TextOut(Button.Left + (Button.Width() - Ok.X) / 2 + (FOkPressed ? 1 : 0),
            Button.Top + (Button.Height() - Ok.Y) / 2 + (FOkPressed ? 1 : 0), "OK");
}
