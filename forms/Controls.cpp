#include "forms/Controls.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/LayoutValues.h"
#include "forms/Screen.h"

#include <algorithm>
#include <nlohmann/json.hpp>

TControl::TControl() = default;

TControl::~TControl() {
  if (Application) Application->PurgeMessages(this);
}

TCustomForm* TControl::ParentForm() const {
  const TControl* Control = this;
  while (Control->FParent) Control = Control->FParent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(Control));
}

void TControl::SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  Width = std::max(0, Width);
  Height = std::max(0, Height);
  if (Left == FLeft && Top == FTop && Width == FWidth && Height == FHeight) return;
  Invalidate();
  FLeft = Left;
  FTop = Top;
  FWidth = Width;
  FHeight = Height;
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED);
}

TPoint TControl::ScreenOrigin() const {
  if (!FParent) return {FLeft, FTop};
  const TPoint Origin = FParent->ScreenOrigin();
  const TPoint Offset = FParent->ClientOffset();
  return {Origin.X + Offset.X + FLeft, Origin.Y + Offset.Y + FTop};
}

TRect TControl::ScreenRect() const {
  const TPoint Origin = ScreenOrigin();
  return Bounds(Origin.X, Origin.Y, FWidth, FHeight);
}

TRect TControl::VisibleScreenRect() const {
  TRect Result = ScreenRect();
  for (const TWinControl* P = FParent; P; P = P->Parent()) Result = Result.Intersection(P->ClientScreenRect());
  return Result;
}

TPoint TControl::ScreenToClient(TPoint P) const {
  const TPoint Origin = ScreenOrigin();
  return {P.X - Origin.X, P.Y - Origin.Y};
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  if (!Value) Invalidate();
  FVisible = Value;
  if (Value) Invalidate();
}

bool TControl::Showing() const {
  if (!FVisible) return false;
  return FParent ? FParent->Showing() : true;
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Invalidate();
}

void TControl::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Invalidate();
}

TColor TControl::Color() const { return FParentColor && FParent ? FParent->Color() : FColor; }

void TControl::SetColor(TColor Value) {
  FColor = Value;
  FParentColor = false;
  Invalidate();
}

const TFont& TControl::Font() const { return FParentFont && FParent ? FParent->Font() : FFont; }

void TControl::SetFont(const TFont& Value) {
  FFont = Value;
  FParentFont = false;
  Invalidate();
}

void TControl::SetParentFont(bool Value) {
  if (!Value && FParentFont && FParent) FFont = FParent->Font();
  FParentFont = Value;
  Invalidate();
}

void TControl::SetParentColor(bool Value) {
  FParentColor = Value;
  Invalidate();
}

void TControl::Dispatch(TMessage& Message) {
  TCustomForm* Form = ParentForm();
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if ((FControlStyle & csCaptureMouse) && Form) Form->SetCaptureControl(this);
      break;
    case WM_LBUTTONUP: {
      const bool Captured = Form && Form->CaptureControl() == this;
      if (Captured) Form->SetCaptureControl(nullptr);
      const TPoint P{MouseX(Message.LParam), MouseY(Message.LParam)};
      if (Captured && (FControlStyle & csClickEvents) && ClientRect().Contains(P)) Click();
      break;
    }
    case WM_CHAR: {
      char Key = static_cast<char>(Message.WParam);
      KeyPress(Key);
      Message.WParam = static_cast<unsigned char>(Key);
      Message.Result = Key == 0 ? 1 : 0;
      break;
    }
    default:
      break;
  }
}

LRESULT TControl::Perform(uint32_t Msg, WPARAM WParam, LPARAM LParam) {
  TMessage Message{Msg, WParam, LParam, 0};
  Dispatch(Message);
  return Message.Result;
}

void TControl::Invalidate() {
  if (!Screen || !Showing()) return;
  Screen->InvalidateRect(VisibleScreenRect());
}

void TControl::Update() {
  if (Screen) Screen->PaintInvalid();
}

void TControl::Click() {
  if (OnClick) CallHandler([&] { OnClick(this); });
}

void TControl::KeyPress(char&) {}

void TControl::CallHandler(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& E) {
    if (!Application) throw;
    Application->ShowException(E);
  }
}

bool TControl::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "Left") SetLeft(LayoutInt(Value));
  else if (Name == "Top") SetTop(LayoutInt(Value));
  else if (Name == "Width") SetWidth(LayoutInt(Value));
  else if (Name == "Height") SetHeight(LayoutInt(Value));
  else if (Name == "Visible") SetVisible(LayoutBool(Value));
  else if (Name == "Enabled") SetEnabled(LayoutBool(Value));
  else if (Name == "Caption") SetCaption(LayoutString(Value));
  else if (Name == "Color") SetColor(LayoutColor(Value));
  else if (Name == "Font") SetFont(LayoutFont(Value, Font()));
  else if (Name == "ParentFont") SetParentFont(LayoutBool(Value));
  else if (Name == "ParentColor") SetParentColor(LayoutBool(Value));
  else return false;
  return true;
}

bool TControl::SetEvent(const std::string& Name, const TMethod& Handler) {
  if (Name == "OnClick") OnClick = LayoutNotifyEvent(Handler);
  else return false;
  return true;
}

void TControl::PaintTo(SDL_Surface* Target, const TRect& Clip) {
  const TRect Area = Clip.Intersection(VisibleScreenRect());
  if (Area.IsEmpty()) return;
  FCanvas.Attach(Target, ScreenOrigin(), Area);
  FCanvas.Font = Font();
  Paint();
  FCanvas.Detach();
}

TWinControl::TWinControl() { SetControlStyle(ControlStyle() | csAcceptsControls); }

TWinControl::~TWinControl() { DestroyChildren(); }

void TWinControl::DestroyChildren() {
  // Children go topmost first, so none outlives a sibling drawn above it.
  while (!FControls.empty()) FControls.pop_back();
}

void TWinControl::Adopt(std::unique_ptr<TControl> Child) {
  Child->FParent = this;
  FControls.push_back(std::move(Child));
  FControls.back()->Invalidate();
}

std::unique_ptr<TControl> TWinControl::RemoveControl(TControl& Child) {
  auto It = std::find_if(FControls.begin(), FControls.end(), [&](const auto& C) { return C.get() == &Child; });
  if (It == FControls.end()) return nullptr;
  Child.Invalidate();
  ControlRemoving(Child);
  std::unique_ptr<TControl> Result = std::move(*It);
  FControls.erase(It);
  Result->FParent = nullptr;
  return Result;
}

void TWinControl::ControlRemoving(TControl& Control) {
  if (TCustomForm* Form = ParentForm()) Form->ForgetControl(Control);
}

TControl* TWinControl::FindControl(const std::string& Name) const {
  for (const auto& Child : FControls) {
    if (Child->Name() == Name) return Child.get();
    if (auto* Win = dynamic_cast<TWinControl*>(Child.get()))
      if (TControl* Found = Win->FindControl(Name)) return Found;
  }
  return nullptr;
}

TRect TWinControl::ClientScreenRect() const {
  const TPoint Origin = ScreenOrigin();
  return ClientArea().Offset(Origin.X, Origin.Y);
}

TControl* TWinControl::ControlAtScreenPos(TPoint P) {
  if (!Showing() || !Enabled() || !VisibleScreenRect().Contains(P)) return nullptr;
  if (ClientScreenRect().Contains(P)) {
    // Windowed children lie above windowless ones; within each kind later ones are on top.
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
      if (auto* Win = dynamic_cast<TWinControl*>(It->get()))
        if (TControl* Found = Win->ControlAtScreenPos(P)) return Found;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
      TControl* Child = It->get();
      if (dynamic_cast<TWinControl*>(Child) || !Child->Visible() || !Child->Enabled()) continue;
      if (Child->VisibleScreenRect().Contains(P)) return Child;
    }
  }
  return this;
}

bool TWinControl::CanFocus() const { return Showing() && Enabled() && ParentForm() != nullptr; }

bool TWinControl::Focused() const {
  const TCustomForm* Form = ParentForm();
  return Form && Form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  if (TCustomForm* Form = ParentForm()) Form->SetActiveControl(this);
}

void TWinControl::CollectTabStops(std::vector<TWinControl*>& List) {
  std::vector<TWinControl*> Children;
  for (const auto& Child : FControls)
    if (auto* Win = dynamic_cast<TWinControl*>(Child.get())) Children.push_back(Win);
  std::stable_sort(Children.begin(), Children.end(),
                   [](const TWinControl* A, const TWinControl* B) { return A->TabOrder() < B->TabOrder(); });
  for (TWinControl* Child : Children) {
    if (!Child->Visible() || !Child->Enabled()) continue;
    if (Child->TabStop()) List.push_back(Child);
    Child->CollectTabStops(List);
  }
}

bool TWinControl::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name == "TabOrder") SetTabOrder(LayoutInt(Value));
  else if (Name == "TabStop") SetTabStop(LayoutBool(Value));
  else return TControl::SetProperty(Name, Value);
  return true;
}

void TWinControl::PaintTo(SDL_Surface* Target, const TRect& Clip) {
  const TRect Area = Clip.Intersection(VisibleScreenRect());
  if (Area.IsEmpty()) return;
  TCanvas& C = Canvas();
  C.Attach(Target, ScreenOrigin(), Area);
  C.Font = Font();
  if (!(ControlStyle() & csOpaque)) {
    C.Brush = {Color(), TBrushStyle::Solid};
    C.FillRect(ClientRect());
  }
  Paint();
  C.Detach();
  for (const auto& Child : FControls)
    if (!dynamic_cast<TWinControl*>(Child.get()) && Child->Visible()) Child->PaintTo(Target, Area);
  for (const auto& Child : FControls)
    if (dynamic_cast<TWinControl*>(Child.get()) && Child->Visible()) Child->PaintTo(Target, Area);
}
