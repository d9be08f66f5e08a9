#pragma once
// A line of text; it sizes itself to its text with its left edge fixed.
#include "forms/Controls.h"

class TLabel : public TGraphicControl {
public:
  TLabel();

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  void SetCaption(const std::string& Value) override;
  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;

protected:
  void Paint() override;

private:
  void AdjustSize();

  bool FAutoSize = true;
  bool FTransparent = false;
};
