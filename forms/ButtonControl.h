#pragma once
// The common ground of push buttons and check boxes: a windowed tab stop that takes the focus
// when pressed, holds the mouse capture while the left button is down, looks pressed while the
// held mouse is over it, and clicks on a release inside it or on Space while it has the focus.
#include "forms/Controls.h"

class TButtonControl : public TWinControl {
public:
  TButtonControl();

  // The left button went down on the control, is still held and the mouse is over the control.
  bool Pressed() const;

  void Dispatch(TMessage& Message) override;

private:
  void SetHeld(bool Held, bool MouseOver);

  bool FHeld = false;
  bool FMouseOver = false;
};
