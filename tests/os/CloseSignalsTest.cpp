#include "os/CloseSignals.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Counts wake-ups coming from the watching thread.
class TWakeUpCounter {
public:
  void WakeUp() {
    std::lock_guard Lock(FMutex);
    ++FCount;
    FChanged.notify_all();
  }
  // Waits for at least Count wake-ups; the bound only keeps a broken build from hanging.
  int WaitFor(int Count) {
    std::unique_lock Lock(FMutex);
    FChanged.wait_for(Lock, std::chrono::seconds(10), [&] { return FCount >= Count; });
    return FCount;
  }

private:
  std::mutex FMutex;
  std::condition_variable FChanged;
  int FCount = 0;
};

bool IsBlocked(int Signal) {
  sigset_t Mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &Mask);
  return sigismember(&Mask, Signal) == 1;
}

class CloseSignal : public testing::TestWithParam<int> {};

TEST_P(CloseSignal, WakesTheWatcherOncePerSignal) {
  TWakeUpCounter Counter;
  TCloseSignals Signals;
  Signals.Watch([&] { Counter.WakeUp(); });
  ASSERT_EQ(kill(getpid(), GetParam()), 0);
  EXPECT_EQ(Counter.WaitFor(1), 1);
  ASSERT_EQ(kill(getpid(), GetParam()), 0);
  EXPECT_EQ(Counter.WaitFor(2), 2);
}

TEST_P(CloseSignal, ArrivingBeforeWatchingIsNotLost) {
  TWakeUpCounter Counter;
  TCloseSignals Signals;
  ASSERT_EQ(kill(getpid(), GetParam()), 0);
  Signals.Watch([&] { Counter.WakeUp(); });
  EXPECT_EQ(Counter.WaitFor(1), 1);
}

TEST_P(CloseSignal, ArrivingWhileEndingDoesNotKillTheProcess) {
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    {
      TCloseSignals Signals;
      Signals.Watch([] {});
      Signals.Stop();
      kill(getpid(), GetParam());
    }
    _exit(IsBlocked(GetParam()) ? 2 : 0);
  }
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status)) << "ended by signal " << WTERMSIG(Status);
  EXPECT_EQ(WEXITSTATUS(Status), 0) << "the signal stayed blocked";
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseSignal, testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const testing::TestParamInfo<int>& Info) { return std::string(sigabbrev_np(Info.param)); });

TEST(CloseSignals, BlocksWhileAliveAndRestoresTheMaskAfter) {
  ASSERT_FALSE(IsBlocked(SIGTERM));
  sigset_t OnlyHup;
  sigemptyset(&OnlyHup);
  sigaddset(&OnlyHup, SIGHUP);
  // A signal that was blocked before stays blocked after.
  pthread_sigmask(SIG_BLOCK, &OnlyHup, nullptr);
  {
    TCloseSignals Signals;
    Signals.Watch([] {});
    EXPECT_TRUE(IsBlocked(SIGINT));
    EXPECT_TRUE(IsBlocked(SIGTERM));
  }
  EXPECT_FALSE(IsBlocked(SIGINT));
  EXPECT_FALSE(IsBlocked(SIGTERM));
  EXPECT_TRUE(IsBlocked(SIGHUP));
  pthread_sigmask(SIG_UNBLOCK, &OnlyHup, nullptr);
}

TEST(CloseSignals, NoWakeUpAfterStop) {
  TWakeUpCounter Counter;
  TCloseSignals Signals;
  Signals.Watch([&] { Counter.WakeUp(); });
  Signals.Stop();
  kill(getpid(), SIGTERM);
  // Still blocked and nobody watching: the signal waits, and the destructor drops it.
  sigset_t Pending;
  sigpending(&Pending);
  EXPECT_TRUE(sigismember(&Pending, SIGTERM));
}

}  // namespace
