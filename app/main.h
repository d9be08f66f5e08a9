#pragma once
// The main window: the whole visible menu, its handlers, and the menu result that it
// writes to the profile section when it is destroyed.
#include "app/AccessCodes.h"
#include "app/ProfileSection.h"
#include "controls/MatButton1.h"
#include "controls/MatContainer1.h"
#include "display/ddraw.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ScrollBox.h"

class TMainForm : public TForm {
public:
  TMainForm();
  ~TMainForm() override;

  // Controls of the layout; the form owns them as its children.
  MatContainer* credits = nullptr;
  MatButton* OkButton = nullptr;
  MatContainer* MatContainer1 = nullptr;
  MatButton* Moon1Button = nullptr;
  MatButton* Moon2Button = nullptr;
  MatButton* Moon3Button = nullptr;
  MatButton* Moon4Button = nullptr;
  MatButton* OptionsButton = nullptr;
  MatButton* CreditsButton = nullptr;
  MatButton* ExitButton = nullptr;
  TLabel* VersionLabel = nullptr;
  TScrollBox* CheatBox = nullptr;
  TLabel* Label1 = nullptr;

  // Published handlers, in the order of the method table.
  void Moon1ButtonLeftButtonDown(TObject* Sender);
  void OptionsButtonLeftButtonDown(TObject* Sender);
  void Moon2ButtonLeftButtonDown(TObject* Sender);
  void Moon3ButtonLeftButtonDown(TObject* Sender);
  void Moon4ButtonLeftButtonDown(TObject* Sender);
  void ExitButtonLeftButtonDown(TObject* Sender);
  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void CreditsButtonLeftButtonDown(TObject* Sender);
  void FormKeyPress(TObject* Sender, char& Key);
  void FormDestroy(TObject* Sender);
  void OkButtonLeftButtonDown(TObject* Sender);
  TMethodTable MethodTable() override;

  int32_t MenuAction() const { return FMenuAction; }
  const IDirectDraw* DirectDraw() const { return FDirectDraw; }
  const TAccessCodes& AccessCodes() const { return FAccessCodes; }

protected:
  // Creates the display object; a seam so that tests can make the creation fail.
  virtual HRESULT CreateDisplayObject(IDirectDraw** Object);

private:
  // Switches the screen to 640x480 at 16 bits per pixel, exclusive and full-screen.
  void SwitchDisplayMode();
  void ReleaseDisplayObject();
  // Ends the menu with the given result once the running handler has returned.
  void EndMenu(int32_t Action);
  void ShowMenuView();

  int32_t FMenuAction = 0;
  IDirectDraw* FDirectDraw = nullptr;
  TAccessCodes FAccessCodes;
};
