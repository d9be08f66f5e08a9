#include "e2e/XDisplay.h"

#include <cstdio>
#include <filesystem>
#include <regex>
#include <stdexcept>

TEnvironment TXDisplay::Environment() const {
  TEnvironment Result = TEnvironment::Inherited();
  Result.Set("DISPLAY", FName);
  return Result;
}

TCommandResult TXDisplay::Run(const std::vector<std::string>& Arguments, std::chrono::milliseconds Timeout) const {
  return RunCommand(Arguments, Environment(), Timeout);
}

std::string TXDisplay::RunOrThrow(const std::vector<std::string>& Arguments, std::chrono::milliseconds Timeout) const {
  TCommandResult Result = Run(Arguments, Timeout);
  if (!Result.Succeeded()) throw std::runtime_error("on display " + FName + ": " + Result.Describe(Arguments));
  return std::move(Result.Output);
}

void TXDisplay::MoveMouse(int X, int Y) const {
  RunOrThrow({"xdotool", "mousemove", std::to_string(X), std::to_string(Y)});
}

void TXDisplay::Click(int X, int Y) const {
  RunOrThrow({"xdotool", "mousemove", std::to_string(X), std::to_string(Y), "click", "1"});
}

void TXDisplay::Key(const std::string& Name) const { RunOrThrow({"xdotool", "key", Name}); }

void TXDisplay::Type(const std::string& Text) const { RunOrThrow({"xdotool", "type", "--delay", "30", Text}); }

TScreenImage TXDisplay::Screenshot() const {
  return TScreenImage::FromPpm(RunOrThrow({"import", "-silent", "-window", "root", "-depth", "8", "ppm:-"}));
}

TRgb TXDisplay::Pixel(int X, int Y) const { return Screenshot().Pixel(X, Y); }

std::string TXDisplay::ScreenMode() const {
  const std::string Report = RunOrThrow({"xrandr", "--current"});
  std::smatch Match;
  static const std::regex Current("current (\\d+) x (\\d+)");
  if (!std::regex_search(Report, Match, Current))
    throw std::runtime_error("xrandr --current names no current mode: " + Report);
  return Match[1].str() + "x" + Match[2].str();
}

void TXDisplay::SetRootColour(TRgb Colour) const {
  char Name[8];
  std::snprintf(Name, sizeof Name, "#%06x", static_cast<unsigned>(Colour.Value & 0xFFFFFF));
  RunOrThrow({"xsetroot", "-solid", Name});
}

std::string UnusedDisplayName() {
  // Far above the numbers that servers started with -displayfd take first.
  for (int Number = 500; Number < 1000; ++Number) {
    const std::string Suffix = std::to_string(Number);
    std::error_code Ignored;
    if (!std::filesystem::exists("/tmp/.X11-unix/X" + Suffix, Ignored) &&
        !std::filesystem::exists("/tmp/.X" + Suffix + "-lock", Ignored))
      return ":" + Suffix;
  }
  throw std::runtime_error("every display from :500 to :999 seems taken");
}
