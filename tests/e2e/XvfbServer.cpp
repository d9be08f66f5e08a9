#include "e2e/XvfbServer.h"

#include "e2e/FileDescriptor.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr auto StartPatience = 30s;

// Xvfb writes its display number to this descriptor once it accepts connections; end of file
// first means it gave up.
std::string ReadDisplayNumber(int Fd) {
  const auto Deadline = TClock::now() + StartPatience;
  std::string Text;
  while (Text.find('\n') == std::string::npos) {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now());
    if (Left.count() <= 0) return "";
    pollfd Watched{Fd, POLLIN, 0};
    const int Ready = ::poll(&Watched, 1, static_cast<int>(Left.count()));
    if (Ready < 0 && errno == EINTR) continue;
    if (Ready <= 0) return "";
    char Buffer[32];
    const ssize_t Count = ::read(Fd, Buffer, sizeof Buffer);
    if (Count < 0 && errno == EINTR) continue;
    if (Count <= 0) return "";
    Text.append(Buffer, static_cast<size_t>(Count));
  }
  return Text.substr(0, Text.find('\n'));
}

}  // namespace

TXvfbServer::TXvfbServer(TModes Modes) : FFolder("menu-xvfb-") {
  TPipe DisplayNumber = TPipe::Open();
  TFileDescriptor Log(::open((FFolder.Path() / "xvfb.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  TChildOptions Options;
  Options.StderrFd = Log.Get();
  Options.PassedFd = DisplayNumber.WriteEnd.Get();
  // -displayfd lets the server pick a free number itself, so tests running at once never clash;
  // -noreset keeps added modes when the last client leaves.
  FServer = std::make_unique<TChildProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-noreset", "-nolisten",
                               "tcp"},
      TEnvironment::Inherited(), Options);
  DisplayNumber.WriteEnd.Close();
  const std::string Number = ReadDisplayNumber(DisplayNumber.ReadEnd.Get());
  if (Number.empty()) throw std::runtime_error("Xvfb did not start: " + LogText());
  FDisplay = TXDisplay(":" + Number);
  if (Modes == TModes::With640x480) Add640x480Mode();
}

TXvfbServer::~TXvfbServer() {
  // Harmless when the mode never changed; a server left at 640x480 is given back first.
  FDisplay.Run({"xrandr", "--output", "screen", "--mode", "1024x768"}, 10s);
  FServer->Stop(5s);
}

void TXvfbServer::Add640x480Mode() const {
  FDisplay.RunOrThrow({"xrandr", "--newmode", "640x480", "25.175", "640", "656", "752", "800", "480", "490", "492",
                       "525", "-hsync", "-vsync"});
  FDisplay.RunOrThrow({"xrandr", "--addmode", "screen", "640x480"});
}

std::string TXvfbServer::LogText() const {
  std::ifstream File(FFolder.Path() / "xvfb.log");
  std::stringstream Text;
  Text << File.rdbuf();
  return Text.str();
}
