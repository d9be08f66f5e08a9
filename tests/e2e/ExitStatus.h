#pragma once
// How a child process ended, or that it has not ended yet, in a form that tests compare and
// print readably ("exit code 0", "signal 9").
#include <ostream>
#include <string>

struct TExitStatus {
  enum class TKind { Running, Exited, Signalled };

  TKind Kind = TKind::Running;
  int Value = 0;  // the exit code or the signal number

  static TExitStatus Running() { return {}; }
  static TExitStatus Exited(int Code) { return {TKind::Exited, Code}; }
  static TExitStatus Signalled(int Signal) { return {TKind::Signalled, Signal}; }
  // From the status that waitpid reports for an ended child.
  static TExitStatus FromWaitStatus(int WaitStatus);

  bool operator==(const TExitStatus&) const = default;
  std::string ToString() const;
};

void PrintTo(const TExitStatus& Status, std::ostream* Out);
