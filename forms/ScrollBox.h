#pragma once
// A scroll box; the program uses it as a plain panel: a coloured area, with or without a
// sunken border, that holds other controls.
#include "forms/Controls.h"

class TScrollBox : public TWinControl {
public:
  enum class TBorderStyle { bsNone, bsSingle };

  TScrollBox();
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TRect ClientArea() const override;
  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;

protected:
  void Paint() override;

private:
  TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
};
