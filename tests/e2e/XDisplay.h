#pragma once
// One X display, driven and read with the X command-line tools: xdotool for the mouse and the
// keyboard, ImageMagick's import for pixels, xrandr for the display mode.
//
// There is no window manager: input goes to the window under the pointer, and nothing here moves
// the focus, because SDL gives the desktop mode back when a full-screen window loses it.
#include "e2e/ChildProcess.h"
#include "e2e/Rgb.h"
#include "e2e/ScreenImage.h"

#include <chrono>
#include <string>
#include <vector>

class TXDisplay {
public:
  explicit TXDisplay(std::string Name) : FName(std::move(Name)) {}

  // The DISPLAY value, e.g. ":3".
  const std::string& Name() const { return FName; }
  // The test's environment with DISPLAY set to this display.
  TEnvironment Environment() const;

  // Runs an X client against this display.
  TCommandResult Run(const std::vector<std::string>& Arguments,
                     std::chrono::milliseconds Timeout = std::chrono::seconds(30)) const;
  // The same, throwing with the command's error output when it fails.
  std::string RunOrThrow(const std::vector<std::string>& Arguments,
                         std::chrono::milliseconds Timeout = std::chrono::seconds(30)) const;

  void MoveMouse(int X, int Y) const;
  // Moves there and presses and releases the left button.
  void Click(int X, int Y) const;
  // A key or combination in xdotool's names ("Escape", "alt+F4"), to the focused window.
  void Key(const std::string& Name) const;
  void Type(const std::string& Text) const;

  // The whole screen as it is now.
  TScreenImage Screenshot() const;
  TRgb Pixel(int X, int Y) const;
  // "WIDTHxHEIGHT" of the current mode, from xrandr.
  std::string ScreenMode() const;
  // Paints the bare root window, so that a test can tell a window's black from the desktop.
  void SetRootColour(TRgb Colour) const;

private:
  std::string FName;
};

// A DISPLAY value that no X server answers: neither its socket nor its lock file exists.
std::string UnusedDisplayName();
