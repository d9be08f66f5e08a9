#pragma once
// The real screen: one SDL window at 0,0 covering the whole display, drawn through a plain
// shared-memory framebuffer, with the display's modes and the close signals.
//
// Construct it on the main thread before any other thread is started (see TCloseSignals) and
// use it from that thread only.
#include "os/CloseSignals.h"
#include "os/ScreenBackend.h"

#include <deque>
#include <memory>
#include <string>

class TSdlScreen : public TScreenBackend {
public:
  // Opens the display and shows a black full-screen window with this title; throws ENoDisplay
  // when there is no display to open.
  explicit TSdlScreen(const std::string& Title);
  // Gives the desktop its mode back, closes the window and the display.
  ~TSdlScreen() override;
  TSdlScreen(const TSdlScreen&) = delete;
  TSdlScreen& operator=(const TSdlScreen&) = delete;

  TPoint Size() const override;
  SDL_Surface* BackBuffer() override;
  void Present(const std::vector<TRect>& Rects) override;
  void WaitEvent(TInputEvent& Event) override;
  bool PollEvent(TInputEvent& Event) override;
  std::vector<TDisplayMode> DisplayModes() const override;
  TDisplayMode DesktopMode() const override;
  TDisplayMode CurrentMode() const override;
  // Takes the display's mode of exactly this size (X keeps its depth: a 16-bit request gets a
  // 16-bit back buffer on the desktop's depth). Fails at once, changing nothing, when the
  // display has no mode of this size.
  bool SetExclusiveMode(const TDisplayMode& Mode) override;
  void RestoreDesktopMode() override;
  void Hide() override;

private:
  // SDL's video subsystem, initialised for the life of the screen.
  class TSdlVideo {
  public:
    TSdlVideo();
    ~TSdlVideo();
    TSdlVideo(const TSdlVideo&) = delete;
    TSdlVideo& operator=(const TSdlVideo&) = delete;
  };
  struct TWindowDestroyer {
    void operator()(SDL_Window* Window) const { SDL_DestroyWindow(Window); }
  };

  void Translate(const SDL_Event& Source);
  void OnSizeChanged();
  void RebuildBackBuffer();
  void LeaveExclusiveMode();
  bool TakePending(TInputEvent& Event);
  void PushScreenEvent(TInputKind Kind);
  int DisplayIndex() const;

  TCloseSignals FCloseSignals;  // first: blocks the signals before SDL starts any thread
  TSdlVideo FVideo;
  std::unique_ptr<SDL_Window, TWindowDestroyer> FWindow;
  // Made when first drawn into, so that a mode switch before the first paint costs no buffer.
  TSurfacePtr FBackBuffer;
  TPoint FSize;
  std::deque<TInputEvent> FPending;
  bool FExclusive = false;
  int32_t FExclusiveBitsPerPixel = 32;
};
