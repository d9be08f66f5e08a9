#include "forms/ButtonControl.h"

#include "forms/Form.h"

TButtonControl::TButtonControl() {
  SetTabStop(true);
  // Every press is a press of its own: two quick clicks click twice, never a double click.
  SetControlStyle(csCaptureMouse | csClickEvents);
}

bool TButtonControl::Pressed() const {
  const TCustomForm* Form = ParentForm();
  return FHeld && FMouseOver && Form && Form->CaptureControl() == this;
}

void TButtonControl::SetHeld(bool Held, bool MouseOver) {
  if (Held == FHeld && MouseOver == FMouseOver) return;
  FHeld = Held;
  FMouseOver = MouseOver;
  Invalidate();
}

void TButtonControl::Dispatch(TMessage& Message) {
  const TPoint P{MouseX(Message.LParam), MouseY(Message.LParam)};
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (CanFocus()) SetFocus();
      TWinControl::Dispatch(Message);  // takes the capture
      SetHeld(true, true);
      break;
    case WM_MOUSEMOVE:
      // While held, the pressed look follows the mouse in and out of the control.
      if (FHeld) SetHeld(true, ClientRect().Contains(P));
      TWinControl::Dispatch(Message);
      break;
    case WM_LBUTTONUP:
      // Raised again before the click runs, so whatever the click shows finds it released.
      SetHeld(false, false);
      TWinControl::Dispatch(Message);  // gives the capture back and clicks on a release inside
      break;
    case WM_CHAR:
      if (Message.WParam == ' ') {
        Click();
        Message.Result = 1;
      } else {
        TWinControl::Dispatch(Message);
      }
      break;
    default:
      TWinControl::Dispatch(Message);
  }
}
