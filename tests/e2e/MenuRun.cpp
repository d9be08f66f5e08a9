#include "e2e/MenuRun.h"

#include "e2e/BmpWriter.h"
#include "e2e/FileDescriptor.h"
#include "e2e/WaitUntil.h"
#include "os/ProfileFile.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <signal.h>
#include <sstream>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr char MenuSection[] = "Dustrover97";
const char* const PictureNames[] = {"menu1.bmp", "menu2.bmp", "credits1.bmp", "credits2.bmp"};

std::string ReadWholeFile(const fs::path& Path) {
  std::ifstream File(Path, std::ios::binary);
  std::stringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

void WriteWholeFile(const fs::path& Path, const std::string& Bytes) {
  std::ofstream File(Path, std::ios::binary | std::ios::trunc);
  File << Bytes;
  if (!File.flush()) throw std::runtime_error("cannot write " + Path.string());
}

}  // namespace

TMenuRun::TMenuRun(const TXDisplay& Display) : TMenuRun(std::optional<std::string>(Display.Name())) {}

TMenuRun::TMenuRun(std::optional<std::string> DisplayName)
    : FProgramFolder(FFolder.Path() / "program"),
      FConfigFolder(FFolder.Path() / "config"),
      FDisplayName(std::move(DisplayName)) {
  if (FDisplayName) FDisplay.emplace(*FDisplayName);
  fs::create_directory(FProgramFolder);
  // The program alone: nothing else of the build folder may help it.
  fs::copy_file(fs::path(MENU_BINARY_DIR) / "menu", FProgramFolder / "menu");
}

TMenuRun::~TMenuRun() {
  if (FProgram) FProgram->Kill();
  if (::testing::Test::HasFailure()) {
    const std::string Errors = StderrText();
    std::cerr << "--- the menu's error output" << (Errors.empty() ? " was empty ---\n" : " ---\n" + Errors + "---\n");
  }
}

void TMenuRun::WriteFile(const std::string& Name, const std::string& Bytes) const {
  WriteWholeFile(FProgramFolder / Name, Bytes);
}

void TMenuRun::WriteSolidPictures(const TMenuPictures& Pictures) const {
  WriteFile("menu1.bmp", SolidBmp(Pictures.Menu1));
  WriteFile("menu2.bmp", SolidBmp(Pictures.Menu2));
  WriteFile("credits1.bmp", SolidBmp(Pictures.Credits1));
  WriteFile("credits2.bmp", SolidBmp(Pictures.Credits2));
}

void TMenuRun::CopyDemoPictures() const {
  for (const char* Name : PictureNames)
    fs::copy_file(fs::path(MENU_BINARY_DIR) / Name, FProgramFolder / Name, fs::copy_options::overwrite_existing);
}

void TMenuRun::WriteProfile(const std::string& Text) const {
  fs::create_directories(FConfigFolder);
  WriteWholeFile(ProfilePath(), Text);
}

void TMenuRun::Start() {
  if (FProgram) throw std::logic_error("the menu was already started");
  TEnvironment Environment = TEnvironment::Inherited();
  if (FDisplayName) Environment.Set("DISPLAY", *FDisplayName);
  else Environment.Unset("DISPLAY");
  // Only the X display given here may be found, whatever the developer's session offers.
  Environment.Unset("WAYLAND_DISPLAY");
  Environment.Unset("SDL_VIDEODRIVER");
  Environment.Set("XDG_CONFIG_HOME", FConfigFolder.string());
  const TFileDescriptor Errors(
      ::open((FFolder.Path() / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  TChildOptions Options;
  Options.WorkingDirectory = "/";
  Options.StderrFd = Errors.Get();
  FProgram = std::make_unique<TChildProcess>(std::vector<std::string>{(FProgramFolder / "menu").string()},
                                             Environment, Options);
}

bool TMenuRun::WaitForWindow(std::chrono::milliseconds Timeout) {
  if (!FProgram) throw std::logic_error("the menu was not started");
  const std::vector<std::string> Search = {"xdotool", "search", "--pid", std::to_string(FProgram->Pid())};
  // Asked again and again rather than with --sync, so that a program that ended is noticed at once.
  return WaitUntil(
      [&] {
        if (FProgram->HasEnded()) return true;
        const TCommandResult Found = Display().Run(Search, 10s);
        if (!Found.Succeeded() || Found.Output.empty()) return false;
        FWindowId = Found.Output.substr(0, Found.Output.find('\n'));
        return true;
      },
      Timeout, 100ms) && !FWindowId.empty();
}

bool TMenuRun::StartAndWaitForWindow(std::chrono::milliseconds Timeout) {
  Start();
  return WaitForWindow(Timeout);
}

pid_t TMenuRun::Pid() const {
  if (!FProgram) throw std::logic_error("the menu was not started");
  return FProgram->Pid();
}

const TXDisplay& TMenuRun::Display() const {
  if (!FDisplay) throw std::logic_error("this run has no display to drive");
  return *FDisplay;
}

TRgb TMenuRun::WaitForPixel(int X, int Y, TRgb Expected, std::chrono::milliseconds Timeout) const {
  TRgb Seen;
  WaitUntil(
      [&] {
        Seen = Pixel(X, Y);
        return Seen == Expected;
      },
      Timeout);
  return Seen;
}

void TMenuRun::Signal(int Signal) const {
  if (!FProgram) throw std::logic_error("the menu was not started");
  FProgram->Signal(Signal);
}

TExitStatus TMenuRun::WaitForExit(std::chrono::milliseconds Timeout) {
  if (!FProgram) throw std::logic_error("the menu was not started");
  return FProgram->WaitForExit(Timeout);
}

fs::path TMenuRun::ProfilePath() const { return FConfigFolder / "win.ini"; }

std::string TMenuRun::ProfileText() const { return ReadWholeFile(ProfilePath()); }

std::optional<std::string> TMenuRun::ProfileValue(const std::string& Key) const {
  return TProfileFile(ProfilePath()).ReadString(MenuSection, Key);
}

std::string TMenuRun::StderrText() const { return ReadWholeFile(FFolder.Path() / "stderr.txt"); }
