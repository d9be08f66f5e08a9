#pragma once
// Layouts are data: a form's properties, its controls (by class name, in creation order,
// each with its properties) and the handlers its events call, read from JSON.
//
//   {"class": "TMainForm", "name": "MainForm", "Caption": "...", "OnActivate": "FormActivate",
//    "controls": [{"class": "MatContainer", "name": "credits", "Left": 0, "controls": [...]}]}
//
// Keys other than class, name and controls are properties; a property whose name starts
// with "On" binds an event to a published method of the form. Unknown classes, properties
// and handlers are errors that name the file, the object and the name.
#include "forms/Form.h"
#include "os/Exceptions.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

class TClassRegistry {
public:
  using TFactory = std::function<std::unique_ptr<TControl>()>;
  void Register(const std::string& ClassName, TFactory Factory) { FFactories[ClassName] = std::move(Factory); }
  template <class T>
  void Register(const std::string& ClassName) {
    Register(ClassName, [] { return std::make_unique<T>(); });
  }
  // A new control of the class, or nullptr for an unknown class.
  std::unique_ptr<TControl> Create(const std::string& ClassName) const;

private:
  std::map<std::string, TFactory> FFactories;
};

// The application-wide registry of control classes that layouts may name; the class
// library's own controls are registered in it from the start.
TClassRegistry& ControlClasses();

// Reads the layout into Form: its properties, its controls and its event bindings.
void LoadLayout(TCustomForm& Form, const std::string& LayoutText, const std::string& FileName);

// The control of the layout with this name and class; throws ELayoutError otherwise.
template <class T>
T& LayoutControl(TWinControl& Root, const std::string& Name) {
  if (auto* Control = dynamic_cast<T*>(Root.FindControl(Name))) return *Control;
  throw ELayoutError("the layout has no control " + Name + " of the expected class");
}
