#pragma once
// SIGINT, SIGTERM and SIGHUP ask the program to end in order. They are blocked from the
// constructor on and taken by one small thread in sigwait, which only calls the given wake-up
// (it pushes a close event into the loop); no code runs inside a signal handler at all, so
// nothing can race with the interrupted code.
//
// Construct this before any other thread is started: threads started later from this thread
// inherit the blocked mask, so the signals can only be taken by the watching thread.
#include <atomic>
#include <functional>
#include <signal.h>
#include <thread>

class TCloseSignals {
public:
  // Blocks the three signals in the calling thread. A signal that arrives before Watch stays
  // pending and is taken as soon as the watching thread starts.
  TCloseSignals();
  // Stops watching, drops signals that arrived meanwhile (the program is ending anyway) and
  // restores the signal mask.
  ~TCloseSignals();
  TCloseSignals(const TCloseSignals&) = delete;
  TCloseSignals& operator=(const TCloseSignals&) = delete;

  // Starts the watching thread; WakeUp is called on that thread once per signal taken.
  void Watch(std::function<void()> WakeUp);
  // Ends and joins the watching thread; no WakeUp call happens after it returns.
  void Stop();

private:
  void WatchLoop();

  sigset_t FSignals;
  sigset_t FPreviousMask;
  std::function<void()> FWakeUp;
  std::atomic<bool> FStopping{false};
  std::thread FWatcher;
};
