#include "app/main.h"

#include "app/options.h"
#include "controls/Registration.h"
#include "forms/Application.h"
#include "forms/Layout.h"
#include "os/Exceptions.h"
#include "os/Profile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

extern const char mainLayoutJson[];

TMainForm::TMainForm() {
  RegisterPictureMapControls();
  LoadLayout(*this, mainLayoutJson, "app/main.layout.json");
  credits = &LayoutControl<MatContainer>(*this, "credits");
  OkButton = &LayoutControl<MatButton>(*this, "OkButton");
  MatContainer1 = &LayoutControl<MatContainer>(*this, "MatContainer1");
  Moon1Button = &LayoutControl<MatButton>(*this, "Moon1Button");
  Moon2Button = &LayoutControl<MatButton>(*this, "Moon2Button");
  Moon3Button = &LayoutControl<MatButton>(*this, "Moon3Button");
  Moon4Button = &LayoutControl<MatButton>(*this, "Moon4Button");
  OptionsButton = &LayoutControl<MatButton>(*this, "OptionsButton");
  CreditsButton = &LayoutControl<MatButton>(*this, "CreditsButton");
  ExitButton = &LayoutControl<MatButton>(*this, "ExitButton");
  VersionLabel = &LayoutControl<TLabel>(*this, "VersionLabel");
  CheatBox = &LayoutControl<TScrollBox>(*this, "CheatBox");
  Label1 = &LayoutControl<TLabel>(*this, "Label1");
}

TMainForm::~TMainForm() {
  // Normally released by FormDestroy; this covers a destruction event that failed early.
  ReleaseDisplayObject();
}

TMethodTable TMainForm::MethodTable() {
  auto Notify = [this](void (TMainForm::*Handler)(TObject*)) {
    return TMethod(TNotifyEvent([this, Handler](TObject* Sender) { (this->*Handler)(Sender); }));
  };
  return {
      {"Moon1ButtonLeftButtonDown", Notify(&TMainForm::Moon1ButtonLeftButtonDown)},
      {"OptionsButtonLeftButtonDown", Notify(&TMainForm::OptionsButtonLeftButtonDown)},
      {"Moon2ButtonLeftButtonDown", Notify(&TMainForm::Moon2ButtonLeftButtonDown)},
      {"Moon3ButtonLeftButtonDown", Notify(&TMainForm::Moon3ButtonLeftButtonDown)},
      {"Moon4ButtonLeftButtonDown", Notify(&TMainForm::Moon4ButtonLeftButtonDown)},
      {"ExitButtonLeftButtonDown", Notify(&TMainForm::ExitButtonLeftButtonDown)},
      {"FormCreate", Notify(&TMainForm::FormCreate)},
      {"FormActivate", Notify(&TMainForm::FormActivate)},
      {"CreditsButtonLeftButtonDown", Notify(&TMainForm::CreditsButtonLeftButtonDown)},
      {"FormKeyPress", TMethod(TKeyPressEvent([this](TObject* Sender, char& Key) { FormKeyPress(Sender, Key); }))},
      {"FormDestroy", Notify(&TMainForm::FormDestroy)},
      {"OkButtonLeftButtonDown", Notify(&TMainForm::OkButtonLeftButtonDown)},
  };
}

void TMainForm::EndMenu(int32_t Action) {
  FMenuAction = Action;
  Application->Terminate();
}

void TMainForm::Moon1ButtonLeftButtonDown(TObject*) { EndMenu(1); }
void TMainForm::Moon2ButtonLeftButtonDown(TObject*) { EndMenu(2); }
void TMainForm::Moon3ButtonLeftButtonDown(TObject*) { EndMenu(3); }
void TMainForm::Moon4ButtonLeftButtonDown(TObject*) { EndMenu(4); }
void TMainForm::ExitButtonLeftButtonDown(TObject*) { EndMenu(0); }

void TMainForm::OptionsButtonLeftButtonDown(TObject*) { ShowOptions(); }

void TMainForm::CreditsButtonLeftButtonDown(TObject*) {
  credits->Show();
  MatContainer1->Hide();
}

void TMainForm::OkButtonLeftButtonDown(TObject*) { ShowMenuView(); }

void TMainForm::ShowMenuView() {
  MatContainer1->Show();
  credits->Hide();
}

void TMainForm::FormCreate(TObject*) {
  SetBorderStyle(TFormBorderStyle::bsNone);
  SetBorderIcons(0);
  if (Screen->Width() == 640) {
    SetLeft(0);
    SetTop(0);
  }
  // The pictures are opened by bare name, so they are found beside the executable.
  const std::string ExeName = Application->ExeName();
  const std::string Folder = ExeName.substr(0, ExeName.find_last_of('/') + 1);
  if (::chdir(Folder.c_str()) != 0)
    throw EInOutError("Cannot change to folder \"" + Folder + "\": " + std::strerror(errno));
  FMenuAction = 0;
  SwitchDisplayMode();
}

HRESULT TMainForm::CreateDisplayObject(IDirectDraw** Object) { return DirectDrawCreate(nullptr, Object, nullptr); }

void TMainForm::SwitchDisplayMode() {
  // Without a display object the other two steps cannot be made; the menu runs in the
  // desktop's mode and nothing is left to release.
  if (CreateDisplayObject(&FDirectDraw) != DD_OK || !FDirectDraw) {
    FDirectDraw = nullptr;
    return;
  }
  // Failures of the next two steps leave the desktop's mode; the menu runs all the same.
  FDirectDraw->SetCooperativeLevel(&Application->Backend(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  FDirectDraw->SetDisplayMode(640, 480, 16);
}

void TMainForm::ReleaseDisplayObject() {
  if (!FDirectDraw) return;
  FDirectDraw->Release();
  FDirectDraw = nullptr;
}

void TMainForm::FormActivate(TObject*) {
  if (GetProfileIntA(ProfileSection, QuirBalentKey, QuirBalentDefault) == 1) CheatBox->Show();
  char Version[256];
  GetProfileStringA(ProfileSection, OkExeVersionKey, OkExeVersionDefault, Version, sizeof Version);
  VersionLabel->SetCaption(std::string("v") + Version);
  MatContainer1->Picture1().LoadFromFile("menu1.bmp");
  MatContainer1->Picture2().LoadFromFile("menu2.bmp");
  credits->Picture1().LoadFromFile("credits1.bmp");
  credits->Picture2().LoadFromFile("credits2.bmp");
  ShowMenuView();
}

void TMainForm::FormKeyPress(TObject*, char& Key) {
  if (Key == 27) {
    if (credits->Visible()) ShowMenuView();
    else Application->Terminate();
  }
  FAccessCodes.Accept(Key, [this](TAccessCodes::TCode Code) {
    switch (Code) {
      case TAccessCodes::TCode::Level5: EndMenu(5); break;
      case TAccessCodes::TCode::Level6: EndMenu(6); break;
      case TAccessCodes::TCode::Cheat:
        WriteProfileStringA(ProfileSection, QuirBalentKey, "1");
        CheatBox->Show();
        break;
    }
  });
}

void TMainForm::FormDestroy(TObject*) {
  ReleaseDisplayObject();
  WriteProfileStringA(ProfileSection, ActionKey, std::to_string(FMenuAction).c_str());
}
