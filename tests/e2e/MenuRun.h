#pragma once
// One run of the real menu program, set up as a player's machine would have it: the program
// copied alone into a fresh folder with the pictures the test chooses, a fresh configuration
// folder (XDG_CONFIG_HOME) for win.ini, and the working directory elsewhere, so that the program
// has to find its pictures beside itself.
//
// Destruction kills the program and everything it started and removes both folders; when the
// test has failed, the program's error output is printed first.
#include "e2e/ChildProcess.h"
#include "e2e/MenuPictures.h"
#include "e2e/TempFolder.h"
#include "e2e/XDisplay.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class TMenuRun {
public:
  // A run on this display.
  explicit TMenuRun(const TXDisplay& Display);
  // A run with DISPLAY set to DisplayName, or unset when there is none; such a run has no
  // screen to drive unless the name is that of a live display.
  explicit TMenuRun(std::optional<std::string> DisplayName);
  ~TMenuRun();
  TMenuRun(const TMenuRun&) = delete;
  TMenuRun& operator=(const TMenuRun&) = delete;

  // Before Start: what lies beside the program and in the configuration folder.
  const std::filesystem::path& ProgramFolder() const { return FProgramFolder; }
  // Any file beside the program, e.g. a damaged picture.
  void WriteFile(const std::string& Name, const std::string& Bytes) const;
  // menu1.bmp, menu2.bmp, credits1.bmp, credits2.bmp in plain 640x480 colours.
  void WriteSolidPictures(const TMenuPictures& Pictures = PlainPictures) const;
  // The demo pictures that the build leaves beside build/menu.
  void CopyDemoPictures() const;
  // win.ini as it is before the run, e.g. "[Dustrover97]\nAction=4\n".
  void WriteProfile(const std::string& Text) const;

  // Starts the program from working directory "/" and returns at once.
  void Start();
  // Waits until the program has a window on the display; false when it ended or none came in
  // time.
  bool WaitForWindow(std::chrono::milliseconds Timeout = std::chrono::seconds(30));
  // Start and WaitForWindow.
  bool StartAndWaitForWindow(std::chrono::milliseconds Timeout = std::chrono::seconds(30));
  // The window's X id, as xdotool names it; empty before WaitForWindow found it.
  const std::string& WindowId() const { return FWindowId; }
  pid_t Pid() const;

  // Driving the display the program runs on.
  const TXDisplay& Display() const;
  void MoveMouse(int X, int Y) const { Display().MoveMouse(X, Y); }
  void Click(int X, int Y) const { Display().Click(X, Y); }
  void Key(const std::string& Name) const { Display().Key(Name); }
  void Type(const std::string& Text) const { Display().Type(Text); }
  TScreenImage Screenshot() const { return Display().Screenshot(); }
  TRgb Pixel(int X, int Y) const { return Display().Pixel(X, Y); }
  std::string ScreenMode() const { return Display().ScreenMode(); }
  // Waits until the pixel shows Expected; answers the colour seen last, so that a test can
  // compare it with Expected and a failure says what was there instead.
  TRgb WaitForPixel(int X, int Y, TRgb Expected, std::chrono::milliseconds Timeout = std::chrono::seconds(30)) const;

  // The program's end.
  void Signal(int Signal) const;
  // Running when the program is still running after Timeout.
  TExitStatus WaitForExit(std::chrono::milliseconds Timeout = std::chrono::seconds(30));

  // What the program left behind.
  std::filesystem::path ProfilePath() const;
  // win.ini's whole content; empty when there is no such file.
  std::string ProfileText() const;
  // A key of the menu's section "Dustrover97"; nothing when it is missing.
  std::optional<std::string> ProfileValue(const std::string& Key) const;
  std::string StderrText() const;

private:
  TTempFolder FFolder{"menu-run-"};
  std::filesystem::path FProgramFolder;
  std::filesystem::path FConfigFolder;
  std::optional<std::string> FDisplayName;
  std::optional<TXDisplay> FDisplay;
  std::unique_ptr<TChildProcess> FProgram;
  std::string FWindowId;
};
