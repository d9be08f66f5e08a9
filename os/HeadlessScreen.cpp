#include "os/HeadlessScreen.h"

#include <stdexcept>

THeadlessScreen::THeadlessScreen(int32_t Width, int32_t Height, std::vector<TDisplayMode> Modes)
    : FModes(std::move(Modes)), FDesktopMode{Width, Height, 32} {
  if (FModes.empty()) FModes.push_back(FDesktopMode);
  Resize(Width, Height, 32);
}

void THeadlessScreen::Resize(int32_t Width, int32_t Height, int32_t BitsPerPixel) {
  const Uint32 Format = BitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
  FBackBuffer = AdoptSurface(SDL_CreateRGBSurfaceWithFormat(0, Width, Height, BitsPerPixel == 16 ? 16 : 32, Format));
  FFrontBuffer = AdoptSurface(SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 32, SDL_PIXELFORMAT_XRGB8888));
  if (!FBackBuffer || !FFrontBuffer) throw std::bad_alloc();
  SDL_FillRect(FBackBuffer.get(), nullptr, 0);
  SDL_FillRect(FFrontBuffer.get(), nullptr, 0);
  FCurrentMode = {Width, Height, BitsPerPixel};
}

TPoint THeadlessScreen::Size() const { return {FCurrentMode.Width, FCurrentMode.Height}; }

void THeadlessScreen::Present(const std::vector<TRect>& Rects) {
  for (const TRect& R : Rects) {
    SDL_Rect Source{R.Left, R.Top, R.Width(), R.Height()};
    SDL_Rect Dest = Source;
    SDL_BlitSurface(FBackBuffer.get(), &Source, FFrontBuffer.get(), &Dest);
  }
  ++FPresentCount;
  FLastPresented = Rects;
}

void THeadlessScreen::ResetCounts() {
  FPresentCount = 0;
  FLastPresented.clear();
}

uint32_t THeadlessScreen::Pixel(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FFrontBuffer->w || Y >= FFrontBuffer->h) throw std::out_of_range("pixel outside the screen");
  const auto* Row = static_cast<const uint8_t*>(FFrontBuffer->pixels) + Y * FFrontBuffer->pitch;
  return reinterpret_cast<const uint32_t*>(Row)[X] & 0xFFFFFF;
}

void THeadlessScreen::WaitEvent(TInputEvent& Event) {
  if (FInput.empty() && OnIdle) OnIdle();
  if (!PollEvent(Event)) Event = TInputEvent{TInputKind::Close, {}, TMouseButton::Left, 0, false, FTime};
}

bool THeadlessScreen::PollEvent(TInputEvent& Event) {
  if (FInput.empty()) return false;
  Event = FInput.front();
  FInput.pop_front();
  return true;
}

bool THeadlessScreen::SetExclusiveMode(const TDisplayMode& Mode) {
  for (const TDisplayMode& Available : FModes) {
    if (Available == Mode) {
      Resize(Mode.Width, Mode.Height, Mode.BitsPerPixel);
      Push({TInputKind::Resize, {}, TMouseButton::Left, 0, false, FTime});
      return true;
    }
  }
  return false;
}

void THeadlessScreen::RestoreDesktopMode() {
  if (FCurrentMode == FDesktopMode) return;
  Resize(FDesktopMode.Width, FDesktopMode.Height, FDesktopMode.BitsPerPixel);
  Push({TInputKind::Resize, {}, TMouseButton::Left, 0, false, FTime});
}

void THeadlessScreen::Push(TInputEvent Event) { FInput.push_back(Event); }

void THeadlessScreen::MouseMove(int32_t X, int32_t Y) { Push({TInputKind::MouseMove, {X, Y}, TMouseButton::Left, 0, false, FTime}); }

void THeadlessScreen::MouseDown(int32_t X, int32_t Y, TMouseButton Button) {
  Push({TInputKind::MouseDown, {X, Y}, Button, 0, false, FTime});
}

void THeadlessScreen::MouseUp(int32_t X, int32_t Y, TMouseButton Button) {
  Push({TInputKind::MouseUp, {X, Y}, Button, 0, false, FTime});
}

void THeadlessScreen::Click(int32_t X, int32_t Y, TMouseButton Button) {
  FTime += 1000;
  MouseMove(X, Y);
  MouseDown(X, Y, Button);
  MouseUp(X, Y, Button);
}

void THeadlessScreen::Type(const std::string& Text, bool Shift) {
  for (char C : Text) Push({TInputKind::Char, {}, TMouseButton::Left, C, Shift, FTime});
}

void THeadlessScreen::Close() { Push({TInputKind::Close, {}, TMouseButton::Left, 0, false, FTime}); }
