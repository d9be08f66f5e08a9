#include "forms/Application.h"

#include "forms/ErrorBox.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

TApplication* Application = nullptr;

namespace {

constexpr uint32_t DoubleClickTime = 500;
constexpr int32_t DoubleClickDistance = 4;

}  // namespace

TApplication::TApplication(std::unique_ptr<TScreenBackend> Backend, std::string ExeName)
    : FBackend(std::move(Backend)), FScreen(std::make_unique<TScreen>(*FBackend)), FExeName(std::move(ExeName)) {
  Application = this;
  Screen = FScreen.get();
}

TApplication::~TApplication() {
  DestroyForms();
  FQueue.clear();
  Screen = nullptr;
  Application = nullptr;
}

void TApplication::DestroyForms() {
  // Later forms first: the main form, created first, is destroyed last.
  while (!FForms.empty()) {
    if (FForms.back().get() == FMainForm) FMainForm = nullptr;
    FForms.pop_back();
  }
}

std::string TApplication::CurrentExeName() {
  std::error_code Error;
  const auto Path = std::filesystem::read_symlink("/proc/self/exe", Error);
  return Error ? std::string() : Path.string();
}

std::string TApplication::Title() const { return std::filesystem::path(FExeName).filename().string(); }

TFontLibrary& TApplication::Fonts() {
  if (!FFonts) FFonts = std::make_unique<TFontLibrary>();
  return *FFonts;
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
  // Nothing is shown after the loop; the screen leaves the display before the forms go.
  FBackend->Hide();
}

void TApplication::Terminate() { PostMessage(nullptr, WM_QUIT); }

void TApplication::PostMessage(TControl* Target, uint32_t Msg, WPARAM WParam, LPARAM LParam) {
  FQueue.push_back({Target, {Msg, WParam, LParam, 0}});
}

void TApplication::PurgeMessages(const TControl* Target) {
  std::erase_if(FQueue, [&](const TQueuedMessage& Queued) { return Queued.Target == Target; });
}

size_t TApplication::PendingMessages(const TControl* Target) const {
  return static_cast<size_t>(
      std::count_if(FQueue.begin(), FQueue.end(), [&](const TQueuedMessage& Q) { return Q.Target == Target; }));
}

void TApplication::HandleMessage() {
  if (ProcessMessage()) return;
  Idle();
  if (!FQueue.empty() || FTerminated) return;
  TInputEvent Event;
  FBackend->WaitEvent(Event);
  HandleInput(Event);
}

void TApplication::ProcessMessages() {
  while (!FTerminated && ProcessMessage()) {
  }
  Idle();
}

bool TApplication::ProcessMessage() {
  if (!FQueue.empty()) {
    TQueuedMessage Queued = FQueue.front();
    FQueue.pop_front();
    DispatchQueued(Queued);
    return true;
  }
  TInputEvent Event;
  if (FBackend->PollEvent(Event)) {
    HandleInput(Event);
    return true;
  }
  return false;
}

void TApplication::DispatchQueued(TQueuedMessage& Queued) {
  try {
    if (Queued.Target) {
      Queued.Target->Dispatch(Queued.Message);
    } else if (Queued.Message.Msg == WM_QUIT) {
      FTerminated = true;
    } else if (Queued.Message.Msg == CM_ACTIVATETOPFORM) {
      FScreen->ActivateTopForm();
    }
  } catch (const std::exception& E) {
    ShowException(E);
  }
}

void TApplication::Idle() {
  try {
    FScreen->UpdateHover(FMousePosition);
  } catch (const std::exception& E) {
    ShowException(E);
  }
  // A paint that fails is shown like a failing handler; what the error box leaves behind
  // (its own area) is painted before the program waits again.
  while (!FTerminated) {
    try {
      FScreen->PaintInvalid();
      break;
    } catch (const std::exception& E) {
      ShowException(E);
    }
  }
}

void TApplication::HandleInput(const TInputEvent& Event) {
  try {
    switch (Event.Kind) {
      case TInputKind::MouseMove:
      case TInputKind::MouseDown:
      case TInputKind::MouseUp:
        HandleMouse(Event);
        break;
      case TInputKind::Char:
        if (TWinControl* Window = FScreen->KeyWindow()) {
          if (auto* Form = dynamic_cast<TCustomForm*>(Window)) Form->KeyChar(Event.Char, Event.Shift);
          else Window->Perform(WM_CHAR, static_cast<unsigned char>(Event.Char), Event.Shift ? 1 : 0);
        }
        break;
      case TInputKind::Close:
        if (FMainForm) FMainForm->Close();
        else Terminate();
        break;
      case TInputKind::Resize:
        FScreen->Resized();
        break;
      case TInputKind::Expose:
        FScreen->InvalidateAll();
        break;
    }
  } catch (const std::exception& E) {
    ShowException(E);
  }
}

void TApplication::HandleMouse(const TInputEvent& Event) {
  FMousePosition = Event.Position;
  TWinControl* Window = FScreen->InputWindowAt(Event.Position);
  auto* Form = dynamic_cast<TCustomForm*>(Window);
  TControl* Target = nullptr;
  if (Form && Form->CaptureControl()) Target = Form->CaptureControl();
  else if (Window) Target = Window->ControlAtScreenPos(Event.Position);
  if (!Target) return;

  const TPoint Client = Target->ScreenToClient(Event.Position);
  const LPARAM Position = MakeMouseLParam(Client.X, Client.Y);
  if (Event.Kind == TInputKind::MouseMove) {
    Target->Perform(WM_MOUSEMOVE, 0, Position);
    return;
  }
  const bool Down = Event.Kind == TInputKind::MouseDown;
  switch (Event.Button) {
    case TMouseButton::Left: {
      if (!Down) {
        Target->Perform(WM_LBUTTONUP, 0, Position);
        return;
      }
      if (Form && Target == Form && Form->CloseBoxScreenRect().Contains(Event.Position)) {
        FLastLeftDownValid = false;
        Form->Close();
        return;
      }
      // A second press soon after the first and close to it is a double click, for
      // controls that ask for them; the press after a double click starts anew.
      const bool Double = FLastLeftDownValid && Event.Time - FLastLeftDownTime <= DoubleClickTime &&
                          std::abs(Event.Position.X - FLastLeftDownPosition.X) <= DoubleClickDistance &&
                          std::abs(Event.Position.Y - FLastLeftDownPosition.Y) <= DoubleClickDistance &&
                          (Target->ControlStyle() & csDoubleClicks);
      FLastLeftDownValid = !Double;
      FLastLeftDownTime = Event.Time;
      FLastLeftDownPosition = Event.Position;
      Target->Perform(Double ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, Position);
      return;
    }
    case TMouseButton::Right:
      Target->Perform(Down ? WM_RBUTTONDOWN : WM_RBUTTONUP, Down ? MK_RBUTTON : 0, Position);
      return;
    case TMouseButton::Middle:
      Target->Perform(Down ? WM_MBUTTONDOWN : WM_MBUTTONUP, Down ? MK_MBUTTON : 0, Position);
      return;
  }
}

void TApplication::ShowException(const std::exception& E) {
  auto Box = std::make_unique<TErrorBox>(E.what(), Title());
  FScreen->AddWindow(*Box);
  Box->PlaceOnScreen();
  FScreen->PushModal(*Box);
  Box->Invalidate();
  while (!Box->Closed() && !FTerminated) HandleMessage();
  FScreen->PopModal(*Box);
  FScreen->RemoveWindow(*Box);
}
