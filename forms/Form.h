#pragma once
// Forms: top-level windows on the screen with a border, a caption, a window state and the
// events of their life. A form keeps which of its controls is under the mouse, which holds
// the mouse capture and which has the input focus.
#include "forms/Controls.h"

#include <memory>

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
using TBorderIcons = uint32_t;
constexpr TBorderIcons biSystemMenu = 0x01;
constexpr TBorderIcons biMinimize = 0x02;
constexpr TBorderIcons biMaximize = 0x04;
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TPosition { poDesigned, poScreenCenter };

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

class TCustomForm : public TWinControl {
public:
  TCustomForm();
  ~TCustomForm() override;

  // Creation and destruction events; the owner calls them around the constructor and destructor,
  // when the form's own handlers can run.
  void AfterConstruction();
  void BeforeDestruction();

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value) { FBorderIcons = Value; Invalidate(); }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  void SetClientSize(int32_t Width, int32_t Height);
  int32_t ClientWidth() const { return ClientArea().Width(); }
  int32_t ClientHeight() const { return ClientArea().Height(); }
  TRect ClientArea() const override;
  // Screen rectangle of the close box in the caption bar; empty without one.
  TRect CloseBoxScreenRect() const;

  void SetVisible(bool Value) override;
  // Fits the form to the screen: maximized forms cover it, centred ones are centred on it.
  void PlaceOnScreen();
  // A modal form ends with Cancel; the main form ends the application; others are hidden.
  void Close();
  // Shows the form and runs a nested message loop until a modal result is set.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Modal() const { return FModal; }
  bool Active() const;
  // The form's window exists from its first showing on.
  bool HandleAllocated() const { return FHandleAllocated; }
  // Called when the form becomes the application's active form.
  void Activate();

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  TControl* MouseControl() const { return FMouseControl; }
  // Moves the hover: the old control gets the leave notification before the new one the enter.
  void SetMouseControl(TControl* Control);
  TControl* CaptureControl() const { return FCaptureControl; }
  void SetCaptureControl(TControl* Control) { FCaptureControl = Control; }
  void ForgetControl(TControl& Control);

  // A typed character: dialog keys, then the focused control, then the key press event.
  void KeyChar(char Key, bool Shift);
  // Moves the focus to the next (or previous) tab stop.
  void SelectNext(bool Forward);

  // Published handlers that a layout may bind by name.
  virtual TMethodTable MethodTable() { return {}; }
  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;
  bool SetEvent(const std::string& Name, const TMethod& Handler) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDestroy;
  TKeyPressEvent OnKeyPress;

protected:
  void Paint() override;
  void KeyPress(char& Key) override;
  void Dispatch(TMessage& Message) override;

private:
  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TWindowState FWindowState = TWindowState::wsNormal;
  TPosition FPosition = TPosition::poDesigned;
  TRect FRestoredBounds;
  bool FCoversScreen = false;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FHandleAllocated = false;
  TWinControl* FActiveControl = nullptr;
  TControl* FMouseControl = nullptr;
  TControl* FCaptureControl = nullptr;
};

class TForm : public TCustomForm {};

// Forms are freed through this deleter so that their destruction event runs while the
// form is still whole.
struct TFormDeleter {
  void operator()(TCustomForm* Form) const;
};
template <class T>
using TFormPtr = std::unique_ptr<T, TFormDeleter>;

template <class T, class... Args>
TFormPtr<T> NewForm(Args&&... Arguments) {
  TFormPtr<T> Form(new T(std::forward<Args>(Arguments)...));
  Form->AfterConstruction();
  return Form;
}
