#include "os/CloseSignals.h"

#include <ctime>
#include <pthread.h>

TCloseSignals::TCloseSignals() {
  sigemptyset(&FSignals);
  sigaddset(&FSignals, SIGINT);
  sigaddset(&FSignals, SIGTERM);
  sigaddset(&FSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &FSignals, &FPreviousMask);
}

TCloseSignals::~TCloseSignals() {
  Stop();
  // A signal that came while the program was already ending has nothing left to do; taking it
  // here keeps it from killing the process when the mask is restored.
  const timespec NoWait{0, 0};
  while (sigtimedwait(&FSignals, nullptr, &NoWait) > 0) {
  }
  sigset_t Unblock;
  sigemptyset(&Unblock);
  for (int Signal : {SIGINT, SIGTERM, SIGHUP})
    if (!sigismember(&FPreviousMask, Signal)) sigaddset(&Unblock, Signal);
  pthread_sigmask(SIG_UNBLOCK, &Unblock, nullptr);
}

void TCloseSignals::Watch(std::function<void()> WakeUp) {
  if (FWatcher.joinable()) return;
  FWakeUp = std::move(WakeUp);
  FStopping = false;
  FWatcher = std::thread([this] { WatchLoop(); });
}

void TCloseSignals::Stop() {
  if (!FWatcher.joinable()) return;
  FStopping = true;
  // A signal directed at the watching thread ends its sigwait; the flag tells it to leave.
  pthread_kill(FWatcher.native_handle(), SIGTERM);
  FWatcher.join();
}

void TCloseSignals::WatchLoop() {
  for (;;) {
    int Signal = 0;
    if (sigwait(&FSignals, &Signal) != 0) continue;
    if (FStopping) return;
    FWakeUp();
  }
}
