// The start menu: shows the menu, lets the player choose, and leaves the choice under
// Action in the profile section for the program that started it.
#include "app/ProfileSection.h"
#include "app/main.h"
#include "display/Guardian.h"
#include "display/guardian/GuardianImage.h"
#include "forms/Application.h"
#include "os/Exceptions.h"
#include "os/Profile.h"
#include "os/SdlScreen.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  // The guardian runs the menu's own code when it cannot be started from memory.
  if (IsGuardianInvocation(argc, argv)) return RunGuardian(argc, argv);

  std::unique_ptr<TScreenBackend> Backend;
  try {
    // First: the screen blocks the close signals before any other thread starts.
    Backend = std::make_unique<TSdlScreen>(TApplication::CurrentExeName());
  } catch (const ENoDisplay& E) {
    // An earlier run's choice must never be taken as this run's.
    WriteProfileStringA(ProfileSection, ActionKey, "0");
    std::fprintf(stderr, "menu: %s\n", E.what());
    return 1;
  }
  TApplication App(std::move(Backend));
  // If the menu dies without ending in order, the guardian gives the desktop its mode back
  // and writes "0" as the result. Declared after the application, so it is dismissed first.
  std::unique_ptr<TGuardian> Guardian = TGuardian::Start({ProfileSection, ActionKey, "0"}, GuardianImage());
  App.Initialize();
  App.CreateForm<TMainForm>();
  App.Run();
  App.DestroyForms();
  Guardian.reset();
  return 0;
}
