#include "display/Guardian.h"

#include "display/DesktopLayout.h"
#include "display/GuardianWatch.h"

#include <SDL2/SDL.h>

#include <cerrno>
#include <csignal>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// In the child between fork and exec: the image (closed at exec) and the exec failure report.
constexpr int ChildImage = 4;
constexpr int ChildReport = 5;
// Descriptors prepared for the child sit above the ones it arranges, so that no move clobbers another.
constexpr int AbovePlaced = 10;

TFileHandle Above(int Descriptor) {
  TFileHandle Original(Descriptor);
  if (!Original.IsOpen()) return {};
  return TFileHandle(fcntl(Original.Descriptor(), F_DUPFD_CLOEXEC, AbovePlaced));
}

TFileHandle ImageInMemory(std::span<const unsigned char> Image) {
  TFileHandle Memory(memfd_create("menu-guardian", MFD_CLOEXEC));
  if (!Memory.IsOpen()) return {};
  size_t Written = 0;
  while (Written < Image.size()) {
    const ssize_t Count = write(Memory.Descriptor(), Image.data() + Written, Image.size() - Written);
    if (Count < 0 && errno == EINTR) continue;
    if (Count <= 0) return {};
    Written += static_cast<size_t>(Count);
  }
  return Memory;
}

// Everything the child needs, made before fork: after it only async-signal-safe calls are
// allowed, since the menu has other threads whose locks the child would inherit held.
struct TChildPlan {
  std::vector<std::string> Arguments;
  std::vector<char*> Argv;
  TFileHandle Connection;  // the guardian's end
  TFileHandle Image;       // none: start the menu's own executable
  TFileHandle Report;      // write end of the exec failure report
  TFileHandle Null;
  sigset_t NoSignalsBlocked;
  int OpenMax = 1024;
};

[[noreturn]] void RunChild(const TChildPlan& Plan) {
  // Its own process group: a Ctrl+C at the terminal is for the menu, which then ends in order.
  setpgid(0, 0);
  dup2(Plan.Null.Descriptor(), STDIN_FILENO);
  dup2(Plan.Null.Descriptor(), STDOUT_FILENO);
  dup2(Plan.Connection.Descriptor(), GuardianConnectionDescriptor);
  if (Plan.Image.IsOpen()) {
    dup2(Plan.Image.Descriptor(), ChildImage);
    fcntl(ChildImage, F_SETFD, FD_CLOEXEC);
  } else {
    close(ChildImage);
  }
  dup2(Plan.Report.Descriptor(), ChildReport);
  fcntl(ChildReport, F_SETFD, FD_CLOEXEC);
  // Nothing else of the menu's: its X connection, its files.
  if (close_range(ChildReport + 1, ~0U, 0) != 0)
    for (int Descriptor = ChildReport + 1; Descriptor < Plan.OpenMax; ++Descriptor) close(Descriptor);
  // The menu blocks its close signals for its watching thread; the mask survives exec.
  sigprocmask(SIG_SETMASK, &Plan.NoSignalsBlocked, nullptr);
  if (Plan.Image.IsOpen())
    fexecve(ChildImage, Plan.Argv.data(), environ);
  else
    execve("/proc/self/exe", Plan.Argv.data(), environ);
  const int Error = errno;
  (void)!write(ChildReport, &Error, sizeof(Error));
  _exit(127);
}

bool ReportsExecFailure(TFileHandle& Report) {
  int Error = 0;
  for (;;) {
    const ssize_t Count = read(Report.Descriptor(), &Error, sizeof(Error));
    if (Count < 0 && errno == EINTR) continue;
    return Count > 0;
  }
}

void Reap(pid_t Process) {
  while (waitpid(Process, nullptr, 0) < 0 && errno == EINTR) {
  }
}

bool IsX11() {
  const char* Driver = SDL_GetCurrentVideoDriver();
  return Driver != nullptr && std::strcmp(Driver, "x11") == 0;
}

}  // namespace

std::unique_ptr<TGuardian> TGuardian::Start(const TGuardianOrders& Orders, std::span<const unsigned char> Image) {
  if (!IsX11()) return nullptr;
  const std::optional<TDesktopLayout> Desktop = ReadDesktopLayout();
  if (!Desktop) return nullptr;

  TChildPlan Plan;
  Plan.Arguments = GuardianArguments(Orders, DesktopLayoutToText(*Desktop));
  for (std::string& Argument : Plan.Arguments) Plan.Argv.push_back(Argument.data());
  Plan.Argv.push_back(nullptr);
  int Ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, Ends) != 0) return nullptr;
  TFileHandle MenuEnd(Ends[0]);
  Plan.Connection = Above(Ends[1]);
  int ReportEnds[2];
  if (pipe2(ReportEnds, O_CLOEXEC) != 0) return nullptr;
  TFileHandle ReportRead(ReportEnds[0]);
  Plan.Report = Above(ReportEnds[1]);
  Plan.Null = Above(open("/dev/null", O_RDWR | O_CLOEXEC));
  if (!Image.empty()) {
    Plan.Image = Above(ImageInMemory(Image).Release());
    if (!Plan.Image.IsOpen()) return nullptr;
  }
  if (!Plan.Connection.IsOpen() || !Plan.Report.IsOpen() || !Plan.Null.IsOpen()) return nullptr;
  sigemptyset(&Plan.NoSignalsBlocked);
  Plan.OpenMax = static_cast<int>(std::max(1024L, sysconf(_SC_OPEN_MAX)));

  const pid_t Process = fork();
  if (Process < 0) return nullptr;
  if (Process == 0) RunChild(Plan);

  Plan.Report.Close();
  if (ReportsExecFailure(ReportRead)) {
    Reap(Process);
    return nullptr;
  }
  return std::make_unique<TGuardian>(MenuEnd.Release(), Process);
}

TGuardian::TGuardian(int Connection, pid_t Process) : FConnection(Connection), FProcess(Process) {}

TGuardian::~TGuardian() { Dismiss(); }

void TGuardian::Dismiss() {
  if (FConnection.IsOpen()) {
    SayEndedInOrder(FConnection.Descriptor());
    FConnection.Close();
  }
  if (FProcess > 0) {
    Reap(FProcess);
    FProcess = -1;
  }
}
