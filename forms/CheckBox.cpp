#include "forms/CheckBox.h"

#include "forms/LayoutValues.h"
#include "forms/WindowFrame.h"

#include <iterator>
#include <nlohmann/json.hpp>

namespace {

constexpr int32_t BoxSize = 13;
// The caption starts this far from the control's left edge.
constexpr int32_t CaptionLeft = BoxSize + 4;

// The check mark fills 7 columns; each is 3 pixels tall and starts this far down.
constexpr int32_t CheckMarkTops[] = {2, 3, 4, 3, 2, 1, 0};
constexpr int32_t CheckMarkStroke = 3;

}  // namespace

TCheckBox::TCheckBox() = default;

void TCheckBox::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  Invalidate();
}

void TCheckBox::Click() {
  Toggle();
  TButtonControl::Click();
}

bool TCheckBox::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "Checked") SetChecked(LayoutBool(Value));
  else return TButtonControl::SetProperty(Name, Value);
  return true;
}

void TCheckBox::Paint() {
  TCanvas& C = Canvas();
  const TRect Box = Bounds(0, (Height() - BoxSize) / 2, BoxSize, BoxSize);
  // Two sunken rings: shadow over highlight outside, dark shadow over face inside.
  PaintEdge(C, Box, false);
  const TRect Ring{Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1};
  C.Brush = {cl3DDkShadow, TBrushStyle::Solid};
  C.FillRect({Ring.Left, Ring.Top, Ring.Right - 1, Ring.Top + 1});
  C.FillRect({Ring.Left, Ring.Top, Ring.Left + 1, Ring.Bottom - 1});
  C.Brush.Color = clBtnFace;
  C.FillRect({Ring.Left, Ring.Bottom - 1, Ring.Right, Ring.Bottom});
  C.FillRect({Ring.Right - 1, Ring.Top, Ring.Right, Ring.Bottom});
  // The inside turns grey while pressed, as it does when disabled.
  const TRect Inside{Ring.Left + 1, Ring.Top + 1, Ring.Right - 1, Ring.Bottom - 1};
  C.Brush.Color = Pressed() || !Enabled() ? clBtnFace : clWindow;
  C.FillRect(Inside);
  if (FChecked) {
    C.Brush.Color = Enabled() ? clWindowText : clGrayText;
    for (int32_t Column = 0; Column < static_cast<int32_t>(std::size(CheckMarkTops)); ++Column) {
      const int32_t X = Inside.Left + 1 + Column, Y = Inside.Top + 1 + CheckMarkTops[Column];
      C.FillRect({X, Y, X + 1, Y + CheckMarkStroke});
    }
  }

  C.Font = Font();
  C.Font.Color = Enabled() ? clBtnText : clGrayText;
  C.Brush.Style = TBrushStyle::Clear;
  const TPoint Text = C.TextExtent(Caption());
  const int32_t TextTop = (Height() - Text.Y) / 2;
  C.TextOut(CaptionLeft, TextTop, Caption());
  if (Focused()) {
    const TRect Mark{CaptionLeft - 2, TextTop - 1, CaptionLeft + Text.X + 2, TextTop + Text.Y + 1};
    C.Pen = {clBtnText, 1, TPenStyle::Solid};
    C.DrawFocusRect(Mark.Intersection(ClientRect()));
  }
}
