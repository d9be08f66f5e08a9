#pragma once
// A program started by a test, in a process group of its own so that it can be ended together
// with everything it started. The child also dies with the test process, so a test runner that
// kills a hanging test leaves no program behind.
#include "e2e/Environment.h"
#include "e2e/ExitStatus.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

struct TChildOptions {
  std::filesystem::path WorkingDirectory;  // empty: the test's own
  int StdoutFd = -1;                       // -1: /dev/null
  int StderrFd = -1;                       // -1: /dev/null
  int PassedFd = -1;                       // handed to the child as descriptor 3 when set
};

class TChildProcess {
public:
  // Starts Arguments[0], looked up in PATH. Throws when the program cannot be started.
  TChildProcess(const std::vector<std::string>& Arguments, const TEnvironment& Environment,
                const TChildOptions& Options = {});
  // Kills the whole process group and reaps the child.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  pid_t Pid() const { return FPid; }
  // The status once the child has ended; Running when it still runs after Timeout.
  TExitStatus WaitForExit(std::chrono::milliseconds Timeout);
  bool HasEnded() { return WaitForExit(std::chrono::milliseconds(0)).Kind != TExitStatus::TKind::Running; }
  // Sends Signal to the child alone.
  void Signal(int Signal) const;
  // Asks the whole group to end with SIGTERM; after Grace, kills it.
  void Stop(std::chrono::milliseconds Grace);
  // Kills the whole group at once and reaps the child.
  void Kill();

private:
  pid_t FPid = -1;
  TExitStatus FStatus;
};

struct TCommandResult {
  TExitStatus Status;  // Running when the command was killed for taking too long
  std::string Output;
  std::string Errors;

  bool Succeeded() const { return Status == TExitStatus::Exited(0); }
  // The command line, its status and its error output, for a failure message.
  std::string Describe(const std::vector<std::string>& Arguments) const;
};

// Runs a command to its end and collects what it printed; kills it after Timeout.
TCommandResult RunCommand(const std::vector<std::string>& Arguments, const TEnvironment& Environment,
                          std::chrono::milliseconds Timeout);
