#include "forms/Screen.h"

#include "forms/Application.h"
#include "forms/Form.h"

#include <algorithm>

TScreen* Screen = nullptr;

TScreen::TScreen(TScreenBackend& Backend) : FBackend(Backend) {}

TScreen::~TScreen() = default;

void TScreen::AddWindow(TWinControl& Window) { FWindows.push_back(&Window); }

void TScreen::RemoveWindow(TWinControl& Window) {
  if (Window.Showing()) InvalidateRect(Window.ScreenRect());
  std::erase(FWindows, &Window);
  std::erase(FModalStack, &Window);
  if (FActiveForm == &Window) {
    FActiveForm = nullptr;
    RequestActivation();
  }
  if (FHoverForm == &Window) FHoverForm = nullptr;
}

void TScreen::BringToFront(TWinControl& Window) {
  std::erase(FWindows, &Window);
  FWindows.push_back(&Window);
  if (Window.Showing()) InvalidateRect(Window.ScreenRect());
}

std::vector<TCustomForm*> TScreen::Forms() const {
  std::vector<TCustomForm*> Result;
  for (TWinControl* Window : FWindows)
    if (auto* Form = dynamic_cast<TCustomForm*>(Window)) Result.push_back(Form);
  return Result;
}

void TScreen::PushModal(TWinControl& Window) { FModalStack.push_back(&Window); }

void TScreen::PopModal(TWinControl& Window) { std::erase(FModalStack, &Window); }

TWinControl* TScreen::KeyWindow() const {
  if (!FModalStack.empty()) return FModalStack.back();
  return FActiveForm;
}

TWinControl* TScreen::InputWindowAt(TPoint P) const {
  auto Lowest = FWindows.begin();
  if (!FModalStack.empty()) Lowest = std::find(FWindows.begin(), FWindows.end(), FModalStack.back());
  for (auto It = FWindows.end(); It != Lowest;) {
    --It;
    if ((*It)->Showing() && (*It)->ScreenRect().Contains(P)) return *It;
  }
  return nullptr;
}

void TScreen::RequestActivation() {
  if (FActivationRequested || !Application) return;
  FActivationRequested = true;
  Application->PostMessage(nullptr, CM_ACTIVATETOPFORM);
}

void TScreen::ActivateTopForm() {
  FActivationRequested = false;
  TCustomForm* Top = nullptr;
  for (TWinControl* Window : FWindows)
    if (auto* Form = dynamic_cast<TCustomForm*>(Window); Form && Form->Showing()) Top = Form;
  if (Top == FActiveForm) return;
  FActiveForm = Top;
  if (Top) Top->Activate();
}

void TScreen::UpdateHover(TPoint MousePosition) {
  TWinControl* Window = InputWindowAt(MousePosition);
  auto* Form = dynamic_cast<TCustomForm*>(Window);
  TControl* Control = Form ? Form->ControlAtScreenPos(MousePosition) : nullptr;
  if (Control == Form) Control = nullptr;
  if (FHoverForm && FHoverForm != Form) FHoverForm->SetMouseControl(nullptr);
  FHoverForm = Form;
  if (Form) Form->SetMouseControl(Control);
}

void TScreen::InvalidateRect(const TRect& Rect) {
  TRect R = Rect.Intersection({0, 0, Width(), Height()});
  if (R.IsEmpty()) return;
  // Merge with every rectangle it touches until none is left to merge.
  for (bool Merged = true; Merged;) {
    Merged = false;
    for (auto It = FInvalid.begin(); It != FInvalid.end(); ++It) {
      const TRect Grown{It->Left - 1, It->Top - 1, It->Right + 1, It->Bottom + 1};
      if (Grown.Intersects(R)) {
        R = R.Union(*It);
        FInvalid.erase(It);
        Merged = true;
        break;
      }
    }
  }
  FInvalid.push_back(R);
}

void TScreen::InvalidateAll() {
  FInvalid.clear();
  InvalidateRect({0, 0, Width(), Height()});
}

void TScreen::PaintInvalid() {
  if (FInvalid.empty() || FPainting) return;
  FPainting = true;
  SDL_Surface* Target = FBackend.BackBuffer();
  // Painting may invalidate again (a picture assigned while painting); that area is
  // painted on the next pass.
  const std::vector<TRect> Rects = std::move(FInvalid);
  FInvalid.clear();
  try {
    for (const TRect& R : Rects) {
      SDL_Rect Area{R.Left, R.Top, R.Width(), R.Height()};
      SDL_FillRect(Target, &Area, SDL_MapRGB(Target->format, 0, 0, 0));
      for (TWinControl* Window : FWindows)
        if (Window->Showing()) Window->PaintTo(Target, R);
    }
  } catch (...) {
    // A paint that fails drops this pass; later passes must still paint.
    FPainting = false;
    throw;
  }
  FBackend.Present(Rects);
  FPainting = false;
}

void TScreen::Resized() {
  for (TCustomForm* Form : Forms())
    if (Form->Visible()) Form->PlaceOnScreen();
  for (TWinControl* Window : FWindows)
    if (!dynamic_cast<TCustomForm*>(Window) && Window->Visible())
      Window->SetBounds((Width() - Window->Width()) / 2, (Height() - Window->Height()) / 2, Window->Width(),
                        Window->Height());
  InvalidateAll();
}
