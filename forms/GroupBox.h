#pragma once
// A group box: an etched frame with its caption at the top left, holding other controls.
// It takes no focus itself; its children take part in the tab order at its place.
#include "forms/Controls.h"

class TGroupBox : public TWinControl {
public:
  TGroupBox();

protected:
  void Paint() override;
};
