#include "forms/Form.h"

#include "forms/Application.h"
#include "forms/LayoutValues.h"
#include "forms/Screen.h"
#include "forms/WindowFrame.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace {

constexpr int32_t CaptionHeight = 18;

int32_t FrameWidth(TFormBorderStyle Style) {
  switch (Style) {
    case TFormBorderStyle::bsNone: return 0;
    case TFormBorderStyle::bsSizeable: return 4;
    default: return 3;
  }
}

bool IsInside(const TControl* Control, const TControl& Ancestor) {
  for (const TControl* C = Control; C; C = C->Parent())
    if (C == &Ancestor) return true;
  return false;
}

}  // namespace

TCustomForm::TCustomForm() {
  TControl::SetVisible(false);
  SetColor(clBtnFace);
  if (Screen) Screen->AddWindow(*this);
}

TCustomForm::~TCustomForm() {
  FActiveControl = nullptr;
  FMouseControl = nullptr;
  FCaptureControl = nullptr;
  if (Screen) Screen->RemoveWindow(*this);
  DestroyChildren();
}

void TCustomForm::AfterConstruction() {
  if (OnCreate) CallHandler([&] { OnCreate(this); });
}

void TCustomForm::BeforeDestruction() {
  if (OnDestroy) CallHandler([&] { OnDestroy(this); });
}

void TFormDeleter::operator()(TCustomForm* Form) const {
  Form->BeforeDestruction();
  delete Form;
}

TRect TCustomForm::ClientArea() const {
  const int32_t Frame = FrameWidth(FBorderStyle);
  const int32_t Caption = FBorderStyle == TFormBorderStyle::bsNone ? 0 : CaptionHeight;
  return {Frame, Frame + Caption, std::max(Frame, Width() - Frame), std::max(Frame + Caption, Height() - Frame)};
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  const int32_t OldClientWidth = ClientWidth(), OldClientHeight = ClientHeight();
  FBorderStyle = Value;
  if (FWindowState != TWindowState::wsMaximized) SetClientSize(OldClientWidth, OldClientHeight);
  Invalidate();
}

void TCustomForm::SetClientSize(int32_t ClientWidth, int32_t ClientHeight) {
  const int32_t Frame = FrameWidth(FBorderStyle);
  const int32_t Caption = FBorderStyle == TFormBorderStyle::bsNone ? 0 : CaptionHeight;
  SetBounds(Left(), Top(), ClientWidth + 2 * Frame, ClientHeight + 2 * Frame + Caption);
}

TRect TCustomForm::CloseBoxScreenRect() const {
  if (FBorderStyle == TFormBorderStyle::bsNone || !(FBorderIcons & biSystemMenu)) return {};
  const int32_t Frame = FrameWidth(FBorderStyle);
  const TPoint Origin = ScreenOrigin();
  return Bounds(Origin.X + Width() - Frame - 2 - 16, Origin.Y + Frame + 2, 16, 14);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (Value == FWindowState) return;
  FWindowState = Value;
  if (Value == TWindowState::wsNormal && FCoversScreen) {
    FCoversScreen = false;
    SetBounds(FRestoredBounds.Left, FRestoredBounds.Top, FRestoredBounds.Width(), FRestoredBounds.Height());
  }
  if (Visible()) PlaceOnScreen();
}

void TCustomForm::PlaceOnScreen() {
  if (!Screen) return;
  const int32_t ScreenWidth = Screen->Width(), ScreenHeight = Screen->Height();
  if (FWindowState == TWindowState::wsMaximized) {
    // The bounds from before are kept for a return to the normal state.
    if (!FCoversScreen) FRestoredBounds = BoundsRect();
    FCoversScreen = true;
    SetBounds(0, 0, ScreenWidth, ScreenHeight);
  } else if (FPosition == TPosition::poScreenCenter) {
    SetBounds((ScreenWidth - Width()) / 2, (ScreenHeight - Height()) / 2, Width(), Height());
  }
}

void TCustomForm::SetVisible(bool Value) {
  if (Value == Visible()) return;
  if (Value) {
    FHandleAllocated = true;
    PlaceOnScreen();
    if (Screen) Screen->BringToFront(*this);
    TWinControl::SetVisible(true);
    if (OnShow) CallHandler([&] { OnShow(this); });
  } else {
    TWinControl::SetVisible(false);
  }
  if (Screen) Screen->RequestActivation();
}

bool TCustomForm::Active() const { return Screen && Screen->ActiveForm() == this; }

void TCustomForm::Activate() {
  if (OnActivate) CallHandler([&] { OnActivate(this); });
}

void TCustomForm::Close() {
  if (FModal) SetModalResult(mrCancel);
  else if (Application && Application->MainForm() == this) Application->Terminate();
  else Hide();
}

TModalResult TCustomForm::ShowModal() {
  FModalResult = mrNone;
  FModal = true;
  Screen->PushModal(*this);
  Show();
  while (FModalResult == mrNone && !Application->Terminated()) Application->HandleMessage();
  // A quit request ends the dialog; it stays pending for the loops outside.
  if (FModalResult == mrNone) FModalResult = mrCancel;
  Hide();
  Screen->PopModal(*this);
  FModal = false;
  return FModalResult;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (FActiveControl) FActiveControl->Invalidate();
  FActiveControl = Control;
  if (Control) Control->Invalidate();
}

void TCustomForm::SetMouseControl(TControl* Control) {
  if (Control == FMouseControl) return;
  TControl* Previous = FMouseControl;
  FMouseControl = Control;
  if (Previous) Previous->Perform(CM_MOUSELEAVE);
  if (Control && FMouseControl == Control) Control->Perform(CM_MOUSEENTER);
}

void TCustomForm::ForgetControl(TControl& Control) {
  if (IsInside(FMouseControl, Control)) FMouseControl = nullptr;
  if (IsInside(FCaptureControl, Control)) FCaptureControl = nullptr;
  if (IsInside(FActiveControl, Control)) FActiveControl = nullptr;
}

void TCustomForm::SelectNext(bool Forward) {
  std::vector<TWinControl*> Stops;
  CollectTabStops(Stops);
  if (Stops.empty()) return;
  auto It = std::find(Stops.begin(), Stops.end(), FActiveControl);
  size_t Index;
  if (It == Stops.end()) Index = Forward ? 0 : Stops.size() - 1;
  else {
    const size_t Current = static_cast<size_t>(It - Stops.begin());
    Index = Forward ? (Current + 1) % Stops.size() : (Current + Stops.size() - 1) % Stops.size();
  }
  SetActiveControl(Stops[Index]);
}

namespace {

bool BroadcastDialogKey(TWinControl& Parent, char Key) {
  for (const auto& Child : Parent.Controls()) {
    auto* Win = dynamic_cast<TWinControl*>(Child.get());
    if (!Win || !Win->Visible() || !Win->Enabled()) continue;
    if (Win->Perform(CM_DIALOGKEY, static_cast<unsigned char>(Key)) != 0) return true;
    if (BroadcastDialogKey(*Win, Key)) return true;
  }
  return false;
}

}  // namespace

void TCustomForm::KeyChar(char Key, bool Shift) {
  if (Key == '\t') {
    SelectNext(!Shift);
    return;
  }
  if ((Key == '\r' || Key == 27) && BroadcastDialogKey(*this, Key)) return;
  if (FActiveControl && FActiveControl->CanFocus()) {
    TMessage Message{WM_CHAR, static_cast<unsigned char>(Key), Shift ? 1 : 0, 0};
    FActiveControl->Dispatch(Message);
    if (Message.Result != 0) return;
    Key = static_cast<char>(Message.WParam);
  }
  TMessage Message{WM_CHAR, static_cast<unsigned char>(Key), Shift ? 1 : 0, 0};
  TCustomForm::Dispatch(Message);
}

void TCustomForm::KeyPress(char& Key) {
  if (OnKeyPress) CallHandler([&] { OnKeyPress(this, Key); });
}

void TCustomForm::Dispatch(TMessage& Message) {
  if (Message.Msg != WM_QUERYNEWPALETTE) {
    TWinControl::Dispatch(Message);
    return;
  }
  // Realize the palettes of the form's controls in the foreground.
  LRESULT Realized = 0;
  std::function<void(TWinControl&)> Realize = [&](TWinControl& Parent) {
    for (const auto& Child : Parent.Controls()) {
      if (HPALETTE Palette = Child->GetPalette()) {
        HDC DC = Canvas().Handle();
        const HPALETTE Previous = SelectPalette(DC, Palette, false);
        Realized += RealizePalette(DC);
        SelectPalette(DC, Previous, false);
      }
      if (auto* Win = dynamic_cast<TWinControl*>(Child.get())) Realize(*Win);
    }
  };
  Realize(*this);
  Message.Result = Realized;
}

void TCustomForm::Paint() {
  if (FBorderStyle == TFormBorderStyle::bsNone) return;
  const TRect Box = CloseBoxScreenRect();
  const TPoint Origin = ScreenOrigin();
  PaintWindowFrame(Canvas(), {Width(), Height()}, FrameWidth(FBorderStyle), CaptionHeight, Caption(), Font(),
                   Box.Offset(-Origin.X, -Origin.Y));
}

bool TCustomForm::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "BorderStyle")
    SetBorderStyle(static_cast<TFormBorderStyle>(LayoutEnum(Value, {"bsNone", "bsSingle", "bsSizeable", "bsDialog"})));
  else if (Name == "BorderIcons") {
    if (!Value.is_array()) throw ELayoutError("expected a list of border icons, found " + Value.dump());
    TBorderIcons Icons = 0;
    for (const auto& Icon : Value) Icons |= 1u << LayoutEnum(Icon, {"biSystemMenu", "biMinimize", "biMaximize"});
    SetBorderIcons(Icons);
  } else if (Name == "WindowState")
    SetWindowState(static_cast<TWindowState>(LayoutEnum(Value, {"wsNormal", "wsMinimized", "wsMaximized"})));
  else if (Name == "Position")
    SetPosition(static_cast<TPosition>(LayoutEnum(Value, {"poDesigned", "poScreenCenter"})));
  else if (Name == "ClientWidth") SetClientSize(LayoutInt(Value), ClientHeight());
  else if (Name == "ClientHeight") SetClientSize(ClientWidth(), LayoutInt(Value));
  else if (Name == "Scaled") LayoutBool(Value);  // Layouts are kept at their designed pixels.
  else return TWinControl::SetProperty(Name, Value);
  return true;
}

bool TCustomForm::SetEvent(const std::string& Name, const TMethod& Handler) {
  if (Name == "OnCreate") OnCreate = LayoutNotifyEvent(Handler);
  else if (Name == "OnShow") OnShow = LayoutNotifyEvent(Handler);
  else if (Name == "OnActivate") OnActivate = LayoutNotifyEvent(Handler);
  else if (Name == "OnDestroy") OnDestroy = LayoutNotifyEvent(Handler);
  else if (Name == "OnKeyPress") OnKeyPress = LayoutKeyPressEvent(Handler);
  else return TWinControl::SetEvent(Name, Handler);
  return true;
}
