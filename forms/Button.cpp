#include "forms/Button.h"

#include "forms/LayoutValues.h"
#include "forms/WindowFrame.h"

#include <nlohmann/json.hpp>

TButton::TButton() = default;

void TButton::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  Invalidate();
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* Form = ParentForm()) Form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

bool TButton::TakesEnter() const {
  if (Focused()) return true;
  if (!FDefault) return false;
  const TCustomForm* Form = ParentForm();
  return !Form || !dynamic_cast<const TButton*>(Form->ActiveControl());
}

void TButton::Dispatch(TMessage& Message) {
  const bool DialogKey = Message.Msg == CM_DIALOGKEY;
  const bool Enter = DialogKey && Message.WParam == '\r', Escape = DialogKey && Message.WParam == 27;
  if ((Enter && TakesEnter()) || (Escape && FCancel)) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

bool TButton::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "Default") SetDefault(LayoutBool(Value));
  else if (Name == "Cancel") SetCancel(LayoutBool(Value));
  else if (Name == "ModalResult") SetModalResult(LayoutEnum(Value, {"mrNone", "mrOk", "mrCancel"}));
  else return TButtonControl::SetProperty(Name, Value);
  return true;
}

void TButton::Paint() {
  TCanvas& C = Canvas();
  const bool Down = Pressed();
  TRect Face = ClientRect();
  // The default button, and the one being pressed, wear an extra black frame.
  if (FDefault || Down) {
    C.Brush = {cl3DDkShadow, TBrushStyle::Solid};
    C.FrameRect(Face);
    Face = {Face.Left + 1, Face.Top + 1, Face.Right - 1, Face.Bottom - 1};
  }
  if (Down) {
    C.Brush = {clBtnShadow, TBrushStyle::Solid};
    C.FrameRect(Face);
  } else {
    PaintEdge(C, Face, true);
  }
  C.Font = Font();
  C.Font.Color = Enabled() ? clBtnText : clGrayText;
  C.Brush.Style = TBrushStyle::Clear;
  const TPoint Text = C.TextExtent(Caption());
  // The caption moves down and right by a pixel while pressed, as if pushed in.
  const int32_t Shift = Down ? 1 : 0;
  C.TextOut((Width() - Text.X) / 2 + Shift, (Height() - Text.Y) / 2 + Shift, Caption());
  if (Focused()) {
    C.Pen = {clBtnText, 1, TPenStyle::Solid};
    C.DrawFocusRect({4, 4, Width() - 4, Height() - 4});
  }
}
