#pragma once
// A push button: a raised face with its caption centred, sunken while pressed. A click sets
// the form's modal result (when the button has one) and runs OnClick. The default button
// answers Enter unless another button has the focus; the cancel button answers Escape.
#include "forms/ButtonControl.h"
#include "forms/Form.h"

class TButton : public TButtonControl {
public:
  TButton();

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // Presses the button as a click of the mouse would.
  void Click() override;

  void Dispatch(TMessage& Message) override;
  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;

protected:
  void Paint() override;

private:
  // Enter goes to the focused button, else to the default one.
  bool TakesEnter() const;

  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};
