#pragma once
// The control tree: TControl, windowed TWinControl (a parent that owns its children),
// windowless TGraphicControl painted on its parent, and TCustomControl with a canvas.
#include "forms/Canvas.h"
#include "forms/Messages.h"
#include "forms/Object.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TCustomForm;

using TControlStyle = uint32_t;
constexpr TControlStyle csAcceptsControls = 0x01;
constexpr TControlStyle csCaptureMouse = 0x02;
constexpr TControlStyle csClickEvents = 0x04;
constexpr TControlStyle csOpaque = 0x08;
constexpr TControlStyle csDoubleClicks = 0x10;

class TControl : public TObject {
public:
  TControl();
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  TWinControl* Parent() const { return FParent; }
  // The form this control lies on (itself for a form), or nullptr.
  TCustomForm* ParentForm() const;

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  // Screen position of the control's 0,0, and its rectangle on the screen.
  virtual TPoint ScreenOrigin() const;
  TRect ScreenRect() const;
  // The part of the screen rectangle that the parents leave visible.
  TRect VisibleScreenRect() const;
  TPoint ScreenToClient(TPoint P) const;

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all its parents.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);

  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  // The font in use: its own, or the parent's while ParentFont holds.
  const TFont& Font() const;
  void SetFont(const TFont& Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  // Shown in a form designer rather than running; draws outlines that help placing controls.
  bool Designing() const { return FDesigning; }
  void SetDesigning(bool Value) { FDesigning = Value; }
  // True while the control's properties are being read from a layout.
  bool Loading() const { return FLoading; }
  void SetLoading(bool Value) { FLoading = Value; }

  // The one entry for messages: switches on the number and calls a handler per kind.
  // Overrides handle their own numbers and pass the rest to the inherited Dispatch.
  virtual void Dispatch(TMessage& Message);
  LRESULT Perform(uint32_t Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  // Adds the visible part of the control to the screen's invalid area.
  void Invalidate();
  // Paints the pending invalid area now.
  void Update();
  void Repaint() { Invalidate(); Update(); }

  // Layout loading: sets a property or binds an event by name; false when the name is unknown.
  virtual bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value);
  virtual bool SetEvent(const std::string& Name, const TMethod& Handler);

  // The palette the control's picture needs, realized when its form asks for palettes.
  virtual HPALETTE GetPalette() { return nullptr; }

  // Paints the control's part inside Clip (screen coordinates) into Target.
  virtual void PaintTo(SDL_Surface* Target, const TRect& Clip);

  TNotifyEvent OnClick;

protected:
  virtual void Paint() {}
  TCanvas& Canvas() { return FCanvas; }
  virtual void Click();
  virtual void KeyPress(char& Key);
  // Calls an event handler; an exception that leaves it is shown in the error box.
  static void CallHandler(const std::function<void()>& Handler);

private:
  friend class TWinControl;

  std::string FName;
  TWinControl* FParent = nullptr;
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  bool FDesigning = false;
  bool FLoading = false;
  std::string FCaption;
  TColor FColor = clBtnFace;
  TFont FFont;
  bool FParentFont = true;
  bool FParentColor = false;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  TCanvas FCanvas;
};

class TWinControl : public TControl {
public:
  TWinControl();
  ~TWinControl() override;

  // Takes ownership of Child and places it above its siblings.
  template <class T>
  T& InsertControl(std::unique_ptr<T> Child) {
    T& Result = *Child;
    Adopt(std::move(Child));
    return Result;
  }
  // Gives up Child; hover, capture and focus that pointed into it are cleared.
  std::unique_ptr<TControl> RemoveControl(TControl& Child);
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return FControls; }
  // The descendant with this name, or nullptr.
  TControl* FindControl(const std::string& Name) const;
  // The topmost showing, enabled control under a screen point: this, a descendant, or nullptr.
  TControl* ControlAtScreenPos(TPoint P);

  // The client area in the control's own coordinates (a form's frame and caption lie outside it).
  virtual TRect ClientArea() const { return ClientRect(); }
  TPoint ClientOffset() const { return {ClientArea().Left, ClientArea().Top}; }
  TRect ClientScreenRect() const;

  int32_t TabOrder() const { return FTabOrder; }
  void SetTabOrder(int32_t Value) { FTabOrder = Value; }
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  bool CanFocus() const;
  bool Focused() const;
  void SetFocus();
  // Windowed descendants that can take the focus by Tab, in tab order, depth first.
  void CollectTabStops(std::vector<TWinControl*>& List);

  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;
  void PaintTo(SDL_Surface* Target, const TRect& Clip) override;

protected:
  void DestroyChildren();
  // Forgets hover, capture and focus pointing at Control or inside it.
  virtual void ControlRemoving(TControl& Control);

private:
  void Adopt(std::unique_ptr<TControl> Child);

  std::vector<std::unique_ptr<TControl>> FControls;
  int32_t FTabOrder = -1;
  bool FTabStop = false;
};

// A windowless control: painted on its parent's surface.
class TGraphicControl : public TControl {};

// A windowed control with a canvas and a paint operation of its own.
class TCustomControl : public TWinControl {};
