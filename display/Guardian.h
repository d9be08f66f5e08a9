#pragma once
// The guardian: a small process that gives the desktop its mode back when the menu dies without
// doing so itself (SIGKILL, abort, a crash), and then writes a given profile value, so that the
// launcher does not take an earlier run's result for this one. After an orderly end it does
// nothing. It is tied to the menu by a socket pair (GuardianWatch.h): it waits blocked in read
// and ends as soon as the menu's end closes.
//
// How the program uses it:
//   int main(int argc, char** argv) {
//     if (IsGuardianInvocation(argc, argv)) return RunGuardian(argc, argv);  // first thing
//     ... create the screen (TSdlScreen) ...
//     std::unique_ptr<TGuardian> Guardian = TGuardian::Start({"Section", "Key", "0"});
//     ... switch the display mode, run, restore the mode, write the result ...
//     Guardian.reset();  // or Guardian->Dismiss(): the menu ended in order
//   }
#include "os/FileHandle.h"

#include <memory>
#include <span>
#include <string>
#include <vector>
#include <sys/types.h>

// What the guardian writes into the profile when the menu did not end in order.
struct TGuardianOrders {
  std::string Section;
  std::string Key;
  std::string Value;
};

class TGuardian {
public:
  // Reads the desktop's layout and starts the guardian with it. Call it after the screen is
  // open and before the display mode is switched. Answers nullptr where there is nothing to
  // guard: SDL's video driver is not X11 (Wayland scales instead of switching; the headless
  // screen has no display), or the guardian could not be started.
  //
  // Image: the guardian's own small executable (display/guardian), when the build embeds one
  // (GuardianImage()); it is started from memory. Without it the menu's own executable is
  // started again with the guardian's marker, which costs more memory (it loads every library
  // the menu links) and needs main() to check IsGuardianInvocation first thing.
  static std::unique_ptr<TGuardian> Start(const TGuardianOrders& Orders, std::span<const unsigned char> Image = {});

  // Takes over a started guardian: the menu's end of the connection and the process to reap.
  TGuardian(int Connection, pid_t Process);
  // Destruction happens only on orderly roads (a crash or a kill never runs it), so it means
  // the same as Dismiss. Keep the guardian until the desktop's mode is back and the result is
  // written: a crash before that is then still covered.
  ~TGuardian();
  TGuardian(const TGuardian&) = delete;
  TGuardian& operator=(const TGuardian&) = delete;

  // The menu ended in order: tells the guardian, closes the connection and waits for the
  // guardian's end (at once: it only exits), so no zombie is left.
  void Dismiss();
  pid_t ProcessId() const { return FProcess; }

private:
  TFileHandle FConnection;
  pid_t FProcess;
};

// The argument that marks a start of the executable as the guardian.
inline constexpr const char* GuardianMarker = "--menu-guardian";
// Where the guardian finds its end of the connection.
inline constexpr int GuardianConnectionDescriptor = 3;

// The guardian's command line: its name, the marker, the orders and the desktop's layout.
std::vector<std::string> GuardianArguments(const TGuardianOrders& Orders, const std::string& Layout);

bool IsGuardianInvocation(int argc, char** argv);
// The guardian's whole life; its exit code. Its connection is file descriptor 3.
int RunGuardian(int argc, char** argv);
