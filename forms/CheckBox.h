#pragma once
// A check box: a small sunken white box, with a check mark while checked, and its caption to
// the right. A click or Space while focused toggles it and then runs OnClick.
#include "forms/ButtonControl.h"

class TCheckBox : public TButtonControl {
public:
  TCheckBox();

  bool Checked() const { return FChecked; }
  // Setting the state from code does not run OnClick; only the user's toggles do.
  void SetChecked(bool Value);
  void Toggle() { SetChecked(!FChecked); }

  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;

protected:
  void Click() override;
  void Paint() override;

private:
  bool FChecked = false;
};
