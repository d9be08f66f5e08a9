#pragma once
// Helpers for tests that run forms on the headless screen: the screen behind an application,
// whole frames to compare, and controls that write down the messages they receive.
#include "forms/Application.h"
#include "os/HeadlessScreen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace TestScreen {

inline THeadlessScreen& Headless(TApplication& App) { return static_cast<THeadlessScreen&>(App.Backend()); }

inline std::unique_ptr<THeadlessScreen> NewHeadless(int32_t Width = 640, int32_t Height = 480) {
  return std::make_unique<THeadlessScreen>(Width, Height);
}

inline TPoint Centre(const TRect& R) { return {R.Left + R.Width() / 2, R.Top + R.Height() / 2}; }

// Every presented pixel, row by row.
inline std::vector<uint32_t> Frame(const THeadlessScreen& Screen) {
  const TPoint Size = Screen.Size();
  std::vector<uint32_t> Pixels;
  Pixels.reserve(static_cast<size_t>(Size.X) * static_cast<size_t>(Size.Y));
  for (int32_t Y = 0; Y < Size.Y; ++Y)
    for (int32_t X = 0; X < Size.X; ++X) Pixels.push_back(Screen.Pixel(X, Y));
  return Pixels;
}

// How many pixels outside Inside differ between two frames of a screen Width pixels wide.
inline int ChangedOutside(const std::vector<uint32_t>& Before, const std::vector<uint32_t>& After, int32_t Width,
                          const TRect& Inside) {
  int Changed = 0;
  for (size_t I = 0; I < Before.size() && I < After.size(); ++I) {
    const TPoint P{static_cast<int32_t>(I % static_cast<size_t>(Width)), static_cast<int32_t>(I / static_cast<size_t>(Width))};
    if (!Inside.Contains(P) && Before[I] != After[I]) ++Changed;
  }
  return Changed;
}

// One line per message a recording control received: its name, then what came.
using TMessageLog = std::vector<std::string>;

inline std::string MessageName(uint32_t Msg) {
  switch (Msg) {
    case CM_MOUSEENTER: return "enter";
    case CM_MOUSELEAVE: return "leave";
    case WM_LBUTTONDOWN: return "down";
    case WM_LBUTTONDBLCLK: return "double";
    case WM_LBUTTONUP: return "up";
    case WM_RBUTTONDOWN: return "right down";
    case WM_MBUTTONDOWN: return "middle down";
    case WM_MOUSEMOVE: return "move";
    case WM_CHAR: return "char";
    default: return "message " + std::to_string(Msg);
  }
}

// A control of class TBase that writes the messages it receives into a shared log and then
// handles them as TBase does. Paint is logged too.
template <class TBase>
class TRecording : public TBase {
public:
  TRecording(std::string Name, TMessageLog& Log, std::vector<uint32_t> Recorded = {CM_MOUSEENTER, CM_MOUSELEAVE})
      : FLog(Log), FRecorded(std::move(Recorded)) {
    this->SetName(std::move(Name));
  }

  void Dispatch(TMessage& Message) override {
    for (uint32_t Msg : FRecorded)
      if (Msg == Message.Msg) FLog.push_back(this->Name() + " " + MessageName(Message.Msg));
    TBase::Dispatch(Message);
  }

  bool LogPaint = false;
  // Fills the control with its colour before the paint of TBase, so that it shows on the screen.
  bool FillWithColor = false;

protected:
  void Paint() override {
    if (LogPaint) FLog.push_back(this->Name() + " paint");
    if (FillWithColor) {
      this->Canvas().Brush = {this->Color(), TBrushStyle::Solid};
      this->Canvas().FillRect(this->ClientRect());
    }
    TBase::Paint();
  }

private:
  TMessageLog& FLog;
  std::vector<uint32_t> FRecorded;
};

// Steps run one after the other, each time the program waits for input with none scripted;
// a step scripts the next input. After the last step the wait ends the run.
class TIdleScript {
public:
  TIdleScript(THeadlessScreen& Screen, std::vector<std::function<void()>> Steps) : FSteps(std::move(Steps)) {
    Screen.OnIdle = [this] {
      if (FNext < FSteps.size()) FSteps[FNext++]();
    };
  }
  TIdleScript(const TIdleScript&) = delete;
  TIdleScript& operator=(const TIdleScript&) = delete;

  bool Finished() const { return FNext == FSteps.size(); }
  size_t StepsRun() const { return FNext; }

private:
  std::vector<std::function<void()>> FSteps;
  size_t FNext = 0;
};

}  // namespace TestScreen
