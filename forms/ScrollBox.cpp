#include "forms/ScrollBox.h"

#include "forms/LayoutValues.h"
#include "forms/WindowFrame.h"

#include <nlohmann/json.hpp>

TScrollBox::TScrollBox() { SetColor(clBtnFace); }

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value;
  Invalidate();
}

TRect TScrollBox::ClientArea() const {
  if (FBorderStyle == TBorderStyle::bsNone) return ClientRect();
  return {2, 2, std::max(2, Width() - 2), std::max(2, Height() - 2)};
}

bool TScrollBox::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "BorderStyle") SetBorderStyle(static_cast<TBorderStyle>(LayoutEnum(Value, {"bsNone", "bsSingle"})));
  else return TWinControl::SetProperty(Name, Value);
  return true;
}

void TScrollBox::Paint() {
  if (FBorderStyle == TBorderStyle::bsNone) return;
  PaintEdge(Canvas(), ClientRect(), false);
}
