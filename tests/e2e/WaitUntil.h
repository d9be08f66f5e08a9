#pragma once
// Waiting by asking again: a condition is checked until it holds or the deadline passes, so a
// test waits as long as the program needs and no longer, instead of sleeping a guessed time.
#include <chrono>
#include <thread>

// True as soon as Condition() holds; false when it still does not at the deadline. The
// condition is always asked at least once.
template <typename TCondition>
bool WaitUntil(TCondition&& Condition, std::chrono::milliseconds Timeout,
               std::chrono::milliseconds Interval = std::chrono::milliseconds(50)) {
  const auto Deadline = std::chrono::steady_clock::now() + Timeout;
  while (true) {
    if (Condition()) return true;
    if (std::chrono::steady_clock::now() >= Deadline) return false;
    std::this_thread::sleep_for(Interval);
  }
}
