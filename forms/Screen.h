#pragma once
// The screen: top-level windows in z-order, the modal stack, the active form, the mouse
// hover, and the invalid area that is painted and presented when the queue has drained.
#include "forms/Controls.h"
#include "os/ScreenBackend.h"

#include <vector>

class TCustomForm;

class TScreen {
public:
  explicit TScreen(TScreenBackend& Backend);
  ~TScreen();

  int32_t Width() const { return FBackend.Size().X; }
  int32_t Height() const { return FBackend.Size().Y; }
  TScreenBackend& Backend() { return FBackend; }

  // Top-level windows, bottom first.
  void AddWindow(TWinControl& Window);
  void RemoveWindow(TWinControl& Window);
  void BringToFront(TWinControl& Window);
  const std::vector<TWinControl*>& Windows() const { return FWindows; }
  std::vector<TCustomForm*> Forms() const;

  // While a window is modal only it and the windows above it take input.
  void PushModal(TWinControl& Window);
  void PopModal(TWinControl& Window);
  // The window that takes typed keys: the topmost modal one, else the active form.
  TWinControl* KeyWindow() const;
  // The topmost showing window under a point that may take input, or nullptr.
  TWinControl* InputWindowAt(TPoint P) const;

  TCustomForm* ActiveForm() const { return FActiveForm; }
  // Asks for the topmost showing form to become active once the current message is done.
  void RequestActivation();
  void ActivateTopForm();

  // Finds the control under the resting mouse again; leave goes before enter.
  void UpdateHover(TPoint MousePosition);

  void InvalidateRect(const TRect& R);
  void InvalidateAll();
  bool HasInvalid() const { return !FInvalid.empty(); }
  // Paints the invalid area and presents exactly the repainted rectangles.
  void PaintInvalid();
  // The screen changed size: maximized forms follow it and everything is painted again.
  void Resized();

private:
  TScreenBackend& FBackend;
  std::vector<TWinControl*> FWindows;
  std::vector<TWinControl*> FModalStack;
  std::vector<TRect> FInvalid;
  TCustomForm* FActiveForm = nullptr;
  TCustomForm* FHoverForm = nullptr;
  bool FActivationRequested = false;
  bool FPainting = false;
};

// The application-wide screen, set while a TApplication exists.
extern TScreen* Screen;
