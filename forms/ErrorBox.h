#pragma once
// The standard error box: the message, the application's title, an error icon and OK.
// It is a window, not a form: it never becomes the active form.
#include "forms/Controls.h"

class TErrorBox : public TWinControl {
public:
  TErrorBox(std::string Message, std::string Title);

  const std::string& Message() const { return FMessage; }
  const std::string& Title() const { return FTitle; }
  bool Closed() const { return FClosed; }
  // Centres the box on the screen.
  void PlaceOnScreen();
  TRect ClientArea() const override;
  // The OK button, in screen coordinates.
  TRect OkButtonScreenRect() const;

  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;

private:
  TRect OkButtonRect() const;

  std::string FMessage;
  std::string FTitle;
  bool FClosed = false;
  bool FOkPressed = false;
};
