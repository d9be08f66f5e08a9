#include "app/options.h"

#include "app/ProfileSection.h"
#include "forms/Layout.h"
#include "os/Profile.h"

extern const char optionsLayoutJson[];

TForm3::TForm3() {
  LoadLayout(*this, optionsLayoutJson, "app/options.layout.json");
  Button1 = &LayoutControl<TButton>(*this, "Button1");
  Button2 = &LayoutControl<TButton>(*this, "Button2");
  GroupBox1 = &LayoutControl<TGroupBox>(*this, "GroupBox1");
  soundswitch = &LayoutControl<TCheckBox>(*this, "soundswitch");
  CDSwitch = &LayoutControl<TCheckBox>(*this, "CDSwitch");
}

TMethodTable TForm3::MethodTable() {
  return {{"FormShow", TMethod(TNotifyEvent([this](TObject* Sender) { FormShow(Sender); }))}};
}

void TForm3::FormShow(TObject*) { soundswitch->SetFocus(); }

void ShowOptions() {
  TFormPtr<TForm3> Dialog = NewForm<TForm3>();
  // A switch is on only when stored as exactly 1.
  Dialog->soundswitch->SetChecked(GetProfileIntA(ProfileSection, SoundSwitchKey, SoundSwitchDefault) == 1);
  Dialog->CDSwitch->SetChecked(GetProfileIntA(ProfileSection, CDMusicSwitchKey, CDMusicSwitchDefault) == 1);
  if (Dialog->ShowModal() == mrOk) {
    WriteProfileStringA(ProfileSection, SoundSwitchKey, Dialog->soundswitch->Checked() ? "1" : "0");
    WriteProfileStringA(ProfileSection, CDMusicSwitchKey, Dialog->CDSwitch->Checked() ? "1" : "0");
  }
}
