#include "os/Exceptions.h"
#include "os/SdlScreen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum TOutcome { ThrewNoDisplay = 10, ThrewNoDisplayWithoutReason, Opened, ThrewSomethingElse, MaskNotRestored };

TEST(SdlScreen, WithoutADisplayConstructionThrowsNoDisplay) {
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    // Only the desktop drivers: a console driver must never take over a developer's screen.
    setenv("SDL_VIDEODRIVER", "x11,wayland", 1);
    int Outcome = Opened;
    try {
      TSdlScreen Screen("test");
    } catch (const ENoDisplay& Error) {
      const std::string Prefix = "Cannot open the display: ";
      const std::string Message = Error.Message();
      Outcome = Message.rfind(Prefix, 0) == 0 && Message.size() > Prefix.size() ? ThrewNoDisplay : ThrewNoDisplayWithoutReason;
    } catch (...) {
      Outcome = ThrewSomethingElse;
    }
    sigset_t Mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &Mask);
    if (Outcome == ThrewNoDisplay && sigismember(&Mask, SIGTERM)) Outcome = MaskNotRestored;
    _exit(Outcome);
  }
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  EXPECT_EQ(WEXITSTATUS(Status), ThrewNoDisplay);
}

}  // namespace
