#pragma once
// A hot-spot button: a windowless rectangle on a picture container that shows the part of
// the container's normal picture under it, or of the highlighted picture while the mouse
// is over it, and reports left button presses.
#include "forms/Controls.h"

class MatButton : public TGraphicControl {
public:
  MatButton() = default;

  bool MouseInside() const { return FMouseInside; }
  const TNotifyEvent& OnLeftButtonDown() const { return FOnLeftButtonDown; }
  void SetOnLeftButtonDown(TNotifyEvent Value) { FOnLeftButtonDown = std::move(Value); }

  void Dispatch(TMessage& Message) override;
  bool SetEvent(const std::string& Name, const TMethod& Handler) override;

protected:
  void Paint() override;

private:
  bool FMouseInside = false;
  TNotifyEvent FOnLeftButtonDown;
};
