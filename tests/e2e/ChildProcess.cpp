#include "e2e/ChildProcess.h"

#include "e2e/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

std::vector<char*> PointersTo(std::vector<std::string>& Texts) {
  std::vector<char*> Result;
  for (auto& Text : Texts) Result.push_back(Text.data());
  Result.push_back(nullptr);
  return Result;
}

// Tells the parent why the child could not become the program, and ends the child.
[[noreturn]] void FailInChild(int ErrorReportFd) {
  const int Error = errno;
  (void)!::write(ErrorReportFd, &Error, sizeof Error);
  ::_exit(127);
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(char* const* Arguments, char* const* Environment, const char* WorkingDirectory,
                            const TChildOptions& Options, int ErrorReportFd) {
  auto Fail = [ErrorReportFd]() { FailInChild(ErrorReportFd); };
  ::setpgid(0, 0);
  // A test runner that kills the test must not leave this program running.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  sigset_t Empty;
  sigemptyset(&Empty);
  ::sigprocmask(SIG_SETMASK, &Empty, nullptr);
  const int Null = ::open("/dev/null", O_RDWR);
  if (Null < 0) Fail();
  if (Options.PassedFd >= 0 && ::dup2(Options.PassedFd, 3) < 0) Fail();
  if (::dup2(Null, 0) < 0) Fail();
  if (::dup2(Options.StdoutFd >= 0 ? Options.StdoutFd : Null, 1) < 0) Fail();
  if (::dup2(Options.StderrFd >= 0 ? Options.StderrFd : Null, 2) < 0) Fail();
  if (WorkingDirectory[0] != '\0' && ::chdir(WorkingDirectory) != 0) Fail();
  ::execvpe(Arguments[0], Arguments, Environment);
  FailInChild(ErrorReportFd);
}

}  // namespace

TChildProcess::TChildProcess(const std::vector<std::string>& Arguments, const TEnvironment& Environment,
                             const TChildOptions& Options) {
  if (Arguments.empty()) throw std::invalid_argument("no program to start");
  // Everything the child needs is prepared before the fork.
  std::vector<std::string> ArgumentTexts = Arguments;
  std::vector<std::string> EnvironmentTexts = Environment.Entries();
  const std::vector<char*> ArgumentPointers = PointersTo(ArgumentTexts);
  const std::vector<char*> EnvironmentPointers = PointersTo(EnvironmentTexts);
  const std::string WorkingDirectory = Options.WorkingDirectory.string();
  // The child reports a failed exec through this pipe; a successful exec closes it empty.
  TPipe ErrorReport = TPipe::Open();

  FPid = ::fork();
  if (FPid < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (FPid == 0)
    ExecChild(ArgumentPointers.data(), EnvironmentPointers.data(), WorkingDirectory.c_str(), Options,
              ErrorReport.WriteEnd.Get());
  // Also set here, so that the group exists before either side goes on.
  ::setpgid(FPid, FPid);
  ErrorReport.WriteEnd.Close();
  int ChildError = 0;
  ssize_t Read;
  do Read = ::read(ErrorReport.ReadEnd.Get(), &ChildError, sizeof ChildError);
  while (Read < 0 && errno == EINTR);
  if (Read == sizeof ChildError) {
    Kill();
    throw std::runtime_error("cannot start " + Arguments[0] + ": " + std::strerror(ChildError));
  }
}

TChildProcess::~TChildProcess() { Kill(); }

TExitStatus TChildProcess::WaitForExit(std::chrono::milliseconds Timeout) {
  const auto Deadline = TClock::now() + Timeout;
  while (FStatus.Kind == TExitStatus::TKind::Running) {
    int WaitStatus = 0;
    const pid_t Reaped = ::waitpid(FPid, &WaitStatus, WNOHANG);
    if (Reaped == FPid) {
      FStatus = TExitStatus::FromWaitStatus(WaitStatus);
      break;
    }
    if (Reaped < 0 && errno != EINTR) throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
    if (TClock::now() >= Deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return FStatus;
}

void TChildProcess::Signal(int Signal) const {
  if (FStatus.Kind == TExitStatus::TKind::Running) ::kill(FPid, Signal);
}

void TChildProcess::Stop(std::chrono::milliseconds Grace) {
  ::kill(-FPid, SIGTERM);
  WaitForExit(Grace);
  Kill();
}

void TChildProcess::Kill() {
  if (FPid <= 0) return;
  // The group goes too: whatever the child started must not outlive the test.
  ::kill(-FPid, SIGKILL);
  if (FStatus.Kind == TExitStatus::TKind::Running) {
    int WaitStatus = 0;
    while (::waitpid(FPid, &WaitStatus, 0) < 0 && errno == EINTR) {
    }
    FStatus = TExitStatus::FromWaitStatus(WaitStatus);
  }
}

std::string TCommandResult::Describe(const std::vector<std::string>& Arguments) const {
  std::string Text;
  for (const auto& Argument : Arguments) Text += (Text.empty() ? "" : " ") + Argument;
  Text += Status.Kind == TExitStatus::TKind::Running ? ": took too long" : ": " + Status.ToString();
  if (!Errors.empty()) Text += ": " + Errors;
  return Text;
}

TCommandResult RunCommand(const std::vector<std::string>& Arguments, const TEnvironment& Environment,
                          std::chrono::milliseconds Timeout) {
  const auto Deadline = TClock::now() + Timeout;
  TPipe Output = TPipe::Open();
  TPipe Errors = TPipe::Open();
  TChildOptions Options;
  Options.StdoutFd = Output.WriteEnd.Get();
  Options.StderrFd = Errors.WriteEnd.Get();
  TChildProcess Child(Arguments, Environment, Options);
  Output.WriteEnd.Close();
  Errors.WriteEnd.Close();

  TCommandResult Result;
  // Both pipes are drained together, so a command that fills one cannot block on it.
  pollfd Watched[2] = {{Output.ReadEnd.Get(), POLLIN, 0}, {Errors.ReadEnd.Get(), POLLIN, 0}};
  std::string* Sinks[2] = {&Result.Output, &Result.Errors};
  int OpenPipes = 2;
  char Buffer[65536];
  while (OpenPipes > 0) {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now());
    if (Left.count() <= 0) break;
    const int Ready = ::poll(Watched, 2, static_cast<int>(Left.count()));
    if (Ready < 0 && errno != EINTR) break;
    for (int Index = 0; Index < 2; ++Index) {
      if (Watched[Index].fd < 0 || Watched[Index].revents == 0) continue;
      const ssize_t Count = ::read(Watched[Index].fd, Buffer, sizeof Buffer);
      if (Count > 0) {
        Sinks[Index]->append(Buffer, static_cast<size_t>(Count));
      } else if (Count == 0 || errno != EINTR) {
        Watched[Index].fd = -1;
        --OpenPipes;
      }
    }
  }
  const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now());
  Result.Status = Child.WaitForExit(std::max(Left, std::chrono::milliseconds(0)));
  return Result;
}
