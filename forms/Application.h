#pragma once
// The application: the screen, the forms it owns, the message queue and loop, and the
// standard error box for exceptions that leave an event handler.
#include "forms/Form.h"
#include "forms/Screen.h"
#include "os/FontLibrary.h"
#include "os/ScreenBackend.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class TApplication {
public:
  // Becomes the application-wide Application (and its screen the Screen) until destroyed.
  explicit TApplication(std::unique_ptr<TScreenBackend> Backend, std::string ExeName = CurrentExeName());
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  void Initialize() {}
  // Creates a form owned by the application; the first one created is the main form.
  template <class T, class... Args>
  T& CreateForm(Args&&... Arguments) {
    TFormPtr<T> Form = NewForm<T>(std::forward<Args>(Arguments)...);
    T& Result = *Form;
    if (!FMainForm) FMainForm = &Result;
    FForms.push_back(TFormPtr<TCustomForm>(Form.release()));
    return Result;
  }
  TCustomForm* MainForm() const { return FMainForm; }
  // Destroys the forms, the main form last, each after its destruction event.
  void DestroyForms();

  // Shows the main form and runs the message loop until a quit request is retrieved.
  void Run();
  // Posts a quit request: the running handler finishes, the loop ends when it retrieves it.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Waits for and handles one message; paints when the queue has drained.
  void HandleMessage();
  // Handles every pending message and input, then paints.
  void ProcessMessages();

  void PostMessage(TControl* Target, uint32_t Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // Drops the queued messages addressed to a control that is going away.
  void PurgeMessages(const TControl* Target);
  size_t PendingMessages(const TControl* Target) const;

  const std::string& ExeName() const { return FExeName; }
  // The executable's base name.
  std::string Title() const;
  // The standard error box: the message, the title, an error icon and OK; returns when closed.
  void ShowException(const std::exception& E);

  TScreenBackend& Backend() { return *FBackend; }
  TFontLibrary& Fonts();
  TPoint MousePosition() const { return FMousePosition; }

  static std::string CurrentExeName();

private:
  struct TQueuedMessage {
    TControl* Target;
    TMessage Message;
  };
  bool ProcessMessage();
  void DispatchQueued(TQueuedMessage& Queued);
  void HandleInput(const TInputEvent& Event);
  void HandleMouse(const TInputEvent& Event);
  void Idle();

  std::unique_ptr<TScreenBackend> FBackend;
  std::unique_ptr<TScreen> FScreen;
  std::unique_ptr<TFontLibrary> FFonts;
  std::string FExeName;
  std::vector<TFormPtr<TCustomForm>> FForms;
  TCustomForm* FMainForm = nullptr;
  std::deque<TQueuedMessage> FQueue;
  bool FTerminated = false;
  TPoint FMousePosition{-1, -1};
  uint32_t FLastLeftDownTime = 0;
  TPoint FLastLeftDownPosition;
  bool FLastLeftDownValid = false;
};

// The application-wide application object.
extern TApplication* Application;
