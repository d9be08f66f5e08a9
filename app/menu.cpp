// The start menu: shows the menu, lets the player choose, and leaves the choice under
// Action in the profile section for the program that started it.
#include "app/ProfileSection.h"
#include "app/main.h"
#include "forms/Application.h"
#include "os/Exceptions.h"
#include "os/Profile.h"
#include "os/SdlScreen.h"

#include <cstdio>
#include <memory>

int main() {
  std::unique_ptr<TScreenBackend> Backend;
  try {
    Backend = std::make_unique<TSdlScreen>(TApplication::CurrentExeName());
  } catch (const ENoDisplay& E) {
    // An earlier run's choice must never be taken as this run's.
    WriteProfileStringA(ProfileSection, ActionKey, "0");
    std::fprintf(stderr, "menu: %s\n", E.what());
    return 1;
  }
  TApplication App(std::move(Backend));
  App.Initialize();
  App.CreateForm<TMainForm>();
  App.Run();
  App.DestroyForms();
  return 0;
}
