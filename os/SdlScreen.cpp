#include "os/SdlScreen.h"

#include "os/Exceptions.h"
#include "os/SdlEventTranslation.h"

#include <algorithm>
#include <new>

namespace {

int32_t BitsPerPixelOf(Uint32 Format) {
  // X reports its 24-bit depth as a 4-byte format; the program knows it as 32 bits.
  return SDL_BYTESPERPIXEL(Format) * 8;
}

void AllowMinimizeOnFocusLoss(bool Allow) {
  // Like the old exclusive mode: switching away from the exclusive window gives the desktop
  // its mode back. A window on the desktop's own mode stays where it is.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, Allow ? "1" : "0");
}

}  // namespace

TSdlScreen::TSdlVideo::TSdlVideo() {
  // A shared-memory framebuffer instead of the GL stack: a fraction of the start time and memory.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // SIGINT and SIGTERM are the program's own (TCloseSignals).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Closing the window arrives as a window close; an extra quit event would close twice.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  AllowMinimizeOnFocusLoss(false);
  // Only a real desktop will do: without one SDL would fall back to an invisible offscreen
  // screen and the menu would wait forever for input nobody can give.
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland", SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    throw ENoDisplay(std::string("Cannot open the display: no X11 or Wayland server answered (") + SDL_GetError() + ")");
}

TSdlScreen::TSdlVideo::~TSdlVideo() {
  SDL_Quit();
}

TSdlScreen::TSdlScreen(const std::string& Title) {
  SDL_DisplayMode Desktop{};
  if (SDL_GetDesktopDisplayMode(0, &Desktop) != 0)
    throw ENoDisplay(std::string("Cannot read the display's mode: ") + SDL_GetError());
  // At 0,0: without a window manager nobody moves a full-screen window into place.
  FWindow.reset(SDL_CreateWindow(Title.c_str(), 0, 0, Desktop.w, Desktop.h, SDL_WINDOW_FULLSCREEN_DESKTOP));
  if (!FWindow) throw ENoDisplay(std::string("Cannot open the screen window: ") + SDL_GetError());
  RebuildBackBuffer();
  // Black at once, before any form is painted.
  if (SDL_Surface* Surface = SDL_GetWindowSurface(FWindow.get())) {
    SDL_FillRect(Surface, nullptr, 0);
    SDL_UpdateWindowSurface(FWindow.get());
  }
  SDL_StartTextInput();
  // Runs on the watching thread: SDL_PushEvent is thread-safe and wakes SDL_WaitEvent.
  FCloseSignals.Watch([] {
    SDL_Event Quit{};
    Quit.type = SDL_QUIT;
    Quit.quit.timestamp = SDL_GetTicks();
    SDL_PushEvent(&Quit);
  });
}

TSdlScreen::~TSdlScreen() {
  FCloseSignals.Stop();
  RestoreDesktopMode();
  SDL_StopTextInput();
  FBackBuffer.reset();
  FWindow.reset();
}

TPoint TSdlScreen::Size() const { return FSize; }

int TSdlScreen::DisplayIndex() const { return std::max(0, SDL_GetWindowDisplayIndex(FWindow.get())); }

void TSdlScreen::RebuildBackBuffer() {
  int Width = 0;
  int Height = 0;
  SDL_GetWindowSize(FWindow.get(), &Width, &Height);
  FSize = {Width, Height};
  FBackBuffer.reset();
}

SDL_Surface* TSdlScreen::BackBuffer() {
  if (!FBackBuffer) {
    const bool Is16Bit = FExclusive && FExclusiveBitsPerPixel == 16;
    const Uint32 Format = Is16Bit ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
    TSurfacePtr Buffer = AdoptSurface(SDL_CreateRGBSurfaceWithFormat(0, FSize.X, FSize.Y, Is16Bit ? 16 : 32, Format));
    if (!Buffer) throw std::bad_alloc();
    SDL_FillRect(Buffer.get(), nullptr, 0);
    FBackBuffer = std::move(Buffer);
  }
  return FBackBuffer.get();
}

void TSdlScreen::Hide() { SDL_HideWindow(FWindow.get()); }

void TSdlScreen::Present(const std::vector<TRect>& Rects) {
  // Fetched each time: SDL makes a new window surface after a size change.
  if (!FBackBuffer) return;
  SDL_Surface* Target = SDL_GetWindowSurface(FWindow.get());
  if (!Target) return;
  const TRect Visible{0, 0, std::min(FBackBuffer->w, Target->w), std::min(FBackBuffer->h, Target->h)};
  std::vector<SDL_Rect> Shown;
  Shown.reserve(Rects.size());
  for (const TRect& Rect : Rects) {
    const TRect Part = Rect.Intersection(Visible);
    if (Part.IsEmpty()) continue;
    SDL_Rect Source{Part.Left, Part.Top, Part.Width(), Part.Height()};
    SDL_Rect Dest = Source;
    SDL_BlitSurface(FBackBuffer.get(), &Source, Target, &Dest);
    Shown.push_back({Part.Left, Part.Top, Part.Width(), Part.Height()});
  }
  if (!Shown.empty()) SDL_UpdateWindowSurfaceRects(FWindow.get(), Shown.data(), static_cast<int>(Shown.size()));
}

void TSdlScreen::PushScreenEvent(TInputKind Kind) {
  TInputEvent Event;
  Event.Kind = Kind;
  Event.Time = SDL_GetTicks();
  FPending.push_back(Event);
}

bool TSdlScreen::TakePending(TInputEvent& Event) {
  if (FPending.empty()) return false;
  Event = FPending.front();
  FPending.pop_front();
  return true;
}

void TSdlScreen::OnSizeChanged() {
  int Width = 0;
  int Height = 0;
  SDL_GetWindowSize(FWindow.get(), &Width, &Height);
  if (Width != FSize.X || Height != FSize.Y) {
    RebuildBackBuffer();
    PushScreenEvent(TInputKind::Resize);
  } else {
    // Same size, but SDL replaced the window surface: what it showed is gone.
    PushScreenEvent(TInputKind::Expose);
  }
}

void TSdlScreen::Translate(const SDL_Event& Source) {
  if (Source.type == SDL_WINDOWEVENT && Source.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
    OnSizeChanged();
  else
    TranslateSdlEvent(Source, SDL_GetModState(), FPending);
}

void TSdlScreen::WaitEvent(TInputEvent& Event) {
  while (!TakePending(Event)) {
    SDL_Event Source;
    if (SDL_WaitEvent(&Source) == 0) {
      // SDL cannot wait any more (the display went away): end the program in order.
      PushScreenEvent(TInputKind::Close);
      continue;
    }
    Translate(Source);
  }
}

bool TSdlScreen::PollEvent(TInputEvent& Event) {
  SDL_Event Source;
  while (FPending.empty() && SDL_PollEvent(&Source) != 0) Translate(Source);
  return TakePending(Event);
}

std::vector<TDisplayMode> TSdlScreen::DisplayModes() const {
  std::vector<TDisplayMode> Modes;
  const int Display = DisplayIndex();
  const int Count = SDL_GetNumDisplayModes(Display);
  for (int Index = 0; Index < Count; ++Index) {
    SDL_DisplayMode Source{};
    if (SDL_GetDisplayMode(Display, Index, &Source) != 0) continue;
    const TDisplayMode Mode{Source.w, Source.h, BitsPerPixelOf(Source.format)};
    // SDL lists a size once per refresh rate.
    if (std::find(Modes.begin(), Modes.end(), Mode) == Modes.end()) Modes.push_back(Mode);
  }
  return Modes;
}

TDisplayMode TSdlScreen::DesktopMode() const {
  SDL_DisplayMode Desktop{};
  SDL_GetDesktopDisplayMode(DisplayIndex(), &Desktop);
  return {Desktop.w, Desktop.h, BitsPerPixelOf(Desktop.format)};
}

TDisplayMode TSdlScreen::CurrentMode() const {
  SDL_DisplayMode Current{};
  SDL_GetCurrentDisplayMode(DisplayIndex(), &Current);
  return {Current.w, Current.h, FExclusive ? FExclusiveBitsPerPixel : BitsPerPixelOf(Current.format)};
}

bool TSdlScreen::SetExclusiveMode(const TDisplayMode& Mode) {
  if (Mode.Width <= 0 || Mode.Height <= 0) return false;
  if (Mode.BitsPerPixel != 16 && Mode.BitsPerPixel != 24 && Mode.BitsPerPixel != 32) return false;
  const int Display = DisplayIndex();
  SDL_DisplayMode Wanted{};
  Wanted.w = Mode.Width;
  Wanted.h = Mode.Height;
  SDL_DisplayMode Closest{};
  // SDL answers with the smallest mode at least this big, at the desktop's depth.
  if (!SDL_GetClosestDisplayMode(Display, &Wanted, &Closest)) return false;
  if (Closest.w != Mode.Width || Closest.h != Mode.Height) return false;
  if (SDL_SetWindowDisplayMode(FWindow.get(), &Closest) != 0) return false;
  const bool WasExclusive = FExclusive;
  FExclusive = true;
  AllowMinimizeOnFocusLoss(true);
  SDL_DisplayMode Now{};
  if (SDL_SetWindowFullscreen(FWindow.get(), SDL_WINDOW_FULLSCREEN) != 0 ||
      SDL_GetCurrentDisplayMode(Display, &Now) != 0 || Now.w != Mode.Width || Now.h != Mode.Height) {
    if (WasExclusive) {
      RestoreDesktopMode();
    } else {
      // Back to where it was; the back buffer still fits the desktop.
      LeaveExclusiveMode();
    }
    return false;
  }
  FExclusiveBitsPerPixel = Mode.BitsPerPixel;
  RebuildBackBuffer();
  PushScreenEvent(TInputKind::Resize);
  return true;
}

void TSdlScreen::LeaveExclusiveMode() {
  FExclusive = false;
  AllowMinimizeOnFocusLoss(false);
  // The desktop's full-screen window: SDL puts the desktop's mode back and sizes it to the display.
  SDL_SetWindowFullscreen(FWindow.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void TSdlScreen::RestoreDesktopMode() {
  if (!FExclusive) return;
  LeaveExclusiveMode();
  RebuildBackBuffer();
  PushScreenEvent(TInputKind::Resize);
}
