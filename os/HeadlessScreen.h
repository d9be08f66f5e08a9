#pragma once
// A screen in memory for tests: any size, a list of display modes, scripted input,
// a readable frame buffer and counts of what was presented.
#include "os/ScreenBackend.h"

#include <deque>
#include <functional>
#include <string>

class THeadlessScreen : public TScreenBackend {
public:
  THeadlessScreen(int32_t Width = 640, int32_t Height = 480, std::vector<TDisplayMode> Modes = {});

  TPoint Size() const override;
  SDL_Surface* BackBuffer() override { return FBackBuffer.get(); }
  void Present(const std::vector<TRect>& Rects) override;
  void WaitEvent(TInputEvent& Event) override;
  bool PollEvent(TInputEvent& Event) override;
  std::vector<TDisplayMode> DisplayModes() const override { return FModes; }
  TDisplayMode DesktopMode() const override { return FDesktopMode; }
  TDisplayMode CurrentMode() const override { return FCurrentMode; }
  bool SetExclusiveMode(const TDisplayMode& Mode) override;
  void RestoreDesktopMode() override;

  // Scripted input, delivered in order.
  void MouseMove(int32_t X, int32_t Y);
  void MouseDown(int32_t X, int32_t Y, TMouseButton Button = TMouseButton::Left);
  void MouseUp(int32_t X, int32_t Y, TMouseButton Button = TMouseButton::Left);
  // A press and release; Time advances by 1000 ms first so clicks never pair into a double click.
  void Click(int32_t X, int32_t Y, TMouseButton Button = TMouseButton::Left);
  void Type(const std::string& Text, bool Shift = false);
  void Close();
  void AdvanceTime(uint32_t Milliseconds) { FTime += Milliseconds; }
  bool HasPendingInput() const { return !FInput.empty(); }

  // Called when the program waits for input and none is scripted; it may script more.
  // Without it, or when it scripts nothing, the wait answers with a close request, so a
  // scripted run always ends.
  std::function<void()> OnIdle;

  // What the screen shows: the presented frame, not the back buffer.
  uint32_t Pixel(int32_t X, int32_t Y) const;  // 0xRRGGBB
  int PresentCount() const { return FPresentCount; }
  const std::vector<TRect>& LastPresented() const { return FLastPresented; }
  void ResetCounts();

private:
  void Push(TInputEvent Event);
  void Resize(int32_t Width, int32_t Height, int32_t BitsPerPixel);

  TSurfacePtr FBackBuffer;
  TSurfacePtr FFrontBuffer;
  std::vector<TDisplayMode> FModes;
  TDisplayMode FDesktopMode;
  TDisplayMode FCurrentMode;
  std::deque<TInputEvent> FInput;
  uint32_t FTime = 100000;
  int FPresentCount = 0;
  std::vector<TRect> FLastPresented;
};
