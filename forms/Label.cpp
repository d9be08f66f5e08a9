#include "forms/Label.h"

#include "forms/LayoutValues.h"

#include <nlohmann/json.hpp>

TLabel::TLabel() { SetParentColor(true); }

void TLabel::SetAutoSize(bool Value) {
  FAutoSize = Value;
  AdjustSize();
}

void TLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TLabel::SetCaption(const std::string& Value) {
  TGraphicControl::SetCaption(Value);
  AdjustSize();
}

void TLabel::AdjustSize() {
  if (!FAutoSize) return;
  TCanvas Measure;
  Measure.Font = Font();
  const TPoint Extent = Measure.TextExtent(Caption());
  SetBounds(Left(), Top(), Extent.X, Extent.Y);
}

bool TLabel::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "AutoSize") SetAutoSize(LayoutBool(Value));
  else if (Name == "Transparent") SetTransparent(LayoutBool(Value));
  else if (!TGraphicControl::SetProperty(Name, Value)) return false;
  if (Name == "Font" || Name == "ParentFont") AdjustSize();
  return true;
}

void TLabel::Paint() {
  TCanvas& C = Canvas();
  if (!FTransparent) {
    C.Brush = {Color(), TBrushStyle::Solid};
    C.FillRect(ClientRect());
  }
  C.Font = Font();
  C.Brush.Style = TBrushStyle::Clear;
  C.TextOut(0, 0, Caption());
}
