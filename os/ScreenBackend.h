#pragma once
// The screen that every form is drawn into, with its input and its display modes.
// Two implementations: TSdlScreen (one SDL window covering the display) and
// THeadlessScreen (memory only, scripted input, for tests).
#include "os/Geometry.h"
#include "os/Surface.h"

#include <cstdint>
#include <vector>

enum class TInputKind {
  MouseMove,  // Position
  MouseDown,  // Position, Button, Time
  MouseUp,    // Position, Button
  Char,       // Char: one byte of typed text, or 27 Escape, 13 Enter, 8 Backspace, 9 Tab; Shift
  Close,      // the window system asks the program to end (close box, Alt+F4, SIGINT, SIGTERM, SIGHUP)
  Resize,     // the screen changed size; Size() tells the new one
  Expose,     // the screen lost its contents and must be painted again whole
};

enum class TMouseButton { Left, Right, Middle };

struct TInputEvent {
  TInputKind Kind = TInputKind::Close;
  TPoint Position;  // screen coordinates
  TMouseButton Button = TMouseButton::Left;
  char Char = 0;
  bool Shift = false;
  uint32_t Time = 0;  // milliseconds since an arbitrary start
};

struct TDisplayMode {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitsPerPixel = 0;
  friend bool operator==(const TDisplayMode&, const TDisplayMode&) = default;
};

class TScreenBackend {
public:
  virtual ~TScreenBackend() = default;

  // Current size of the screen in pixels.
  virtual TPoint Size() const = 0;
  // The back buffer forms paint into, the size of the screen. Its pixel format follows the
  // display mode: RGB565 while a 16-bit mode holds, 32-bit otherwise. The pointer changes
  // when the size or mode changes.
  virtual SDL_Surface* BackBuffer() = 0;
  // Shows the given rectangles of the back buffer.
  virtual void Present(const std::vector<TRect>& Rects) = 0;

  // Blocks until an input event arrives; no timers, no polling.
  virtual void WaitEvent(TInputEvent& Event) = 0;
  // Takes one pending input event without blocking; false when there is none.
  virtual bool PollEvent(TInputEvent& Event) = 0;

  // Display modes the screen can be switched to, and the desktop's own.
  virtual std::vector<TDisplayMode> DisplayModes() const = 0;
  virtual TDisplayMode DesktopMode() const = 0;
  virtual TDisplayMode CurrentMode() const = 0;
  // Switches to exactly this mode in exclusive full-screen; false (and nothing changed)
  // when the mode is not available.
  virtual bool SetExclusiveMode(const TDisplayMode& Mode) = 0;
  // Gives the desktop its own mode back; nothing happens when it already has it.
  virtual void RestoreDesktopMode() = 0;
  // The program shows nothing more: the screen leaves the display, so that what follows
  // (giving back the mode, closing) is quick and shows nothing in between.
  virtual void Hide() {}
};
