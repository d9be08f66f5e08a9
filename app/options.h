#pragma once
// The options dialog: two switches, sound effects and CD audio, shown from the profile section
// and stored back into it when the dialog is confirmed. The menu itself does not use them.
#include "forms/Button.h"
#include "forms/CheckBox.h"
#include "forms/Form.h"
#include "forms/GroupBox.h"

class TForm3 : public TForm {
public:
  TForm3();

  // Controls of the layout; the form owns them as its children.
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TCheckBox* soundswitch = nullptr;
  TCheckBox* CDSwitch = nullptr;

  // Published handlers.
  void FormShow(TObject* Sender);
  TMethodTable MethodTable() override;
};

// Runs the dialog modally and returns once it is closed; only a confirmation writes the switches.
void ShowOptions();
