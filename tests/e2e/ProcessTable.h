#pragma once
// Processes as /proc shows them, for tests that ask what a program left running after its end.
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct TProcessEntry {
  pid_t Pid = 0;
  pid_t ParentPid = 0;
  char State = '?';                  // R, S, D, T, Z (zombie), ...
  unsigned long long StartTime = 0;  // clock ticks after boot: tells a process from a later one with its number
  std::string Name;                  // the kernel's name (comm), at most 15 characters
  std::string FirstArgument;         // argv[0]; empty for a zombie

  // Ended, only not yet reaped.
  bool IsZombie() const { return State == 'Z' || State == 'X' || State == 'x'; }
  // "1234 menu-guardian, state S, parent 1", for failure messages.
  std::string Describe() const;
};

// The process with this number, or nothing when there is none.
std::optional<TProcessEntry> ReadProcess(pid_t Pid);
// Every process /proc lists.
std::vector<TProcessEntry> AllProcesses();
// The same process (not a later one that got its number) is still there and not a zombie.
bool IsAlive(const TProcessEntry& Process);
// Whether the process's environment holds exactly the entry "NAME=value"; false where the
// environment cannot be read (another user's process, a zombie).
bool HasEnvironmentEntry(pid_t Pid, const std::string& Entry);
