#include "e2e/ExitStatus.h"

#include <cstring>
#include <sys/wait.h>

TExitStatus TExitStatus::FromWaitStatus(int WaitStatus) {
  if (WIFEXITED(WaitStatus)) return Exited(WEXITSTATUS(WaitStatus));
  if (WIFSIGNALED(WaitStatus)) return Signalled(WTERMSIG(WaitStatus));
  return Running();
}

std::string TExitStatus::ToString() const {
  switch (Kind) {
    case TKind::Exited: return "exit code " + std::to_string(Value);
    case TKind::Signalled: return "signal " + std::to_string(Value) + " (" + strsignal(Value) + ")";
    case TKind::Running: break;
  }
  return "still running";
}

void PrintTo(const TExitStatus& Status, std::ostream* Out) { *Out << Status.ToString(); }
