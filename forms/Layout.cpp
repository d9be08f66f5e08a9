#include "forms/Layout.h"

#include "forms/Button.h"
#include "forms/CheckBox.h"
#include "forms/GroupBox.h"
#include "forms/Label.h"
#include "forms/LayoutValues.h"
#include "forms/ScrollBox.h"
#include "os/Exceptions.h"

#include <nlohmann/json.hpp>

using json = nlohmann::ordered_json;

std::unique_ptr<TControl> TClassRegistry::Create(const std::string& ClassName) const {
  const auto It = FFactories.find(ClassName);
  return It == FFactories.end() ? nullptr : It->second();
}

TClassRegistry& ControlClasses() {
  static TClassRegistry Registry = [] {
    TClassRegistry Standard;
    Standard.Register<TLabel>("TLabel");
    Standard.Register<TScrollBox>("TScrollBox");
    Standard.Register<TButton>("TButton");
    Standard.Register<TCheckBox>("TCheckBox");
    Standard.Register<TGroupBox>("TGroupBox");
    return Standard;
  }();
  return Registry;
}

namespace {

class TLayoutReader {
public:
  TLayoutReader(TCustomForm& Form, std::string FileName) : FForm(Form), FFileName(std::move(FileName)) {
    for (auto& [Name, Method] : Form.MethodTable()) FMethods.emplace(Name, std::move(Method));
  }

  void Read(const json& Root) {
    if (!Root.is_object()) Fail(FForm, "the layout is not an object");
    ReadObject(FForm, Root);
    for (TControl* Control : FLoaded) Control->SetLoading(false);
  }

private:
  [[noreturn]] void Fail(const TControl& Control, const std::string& What) const {
    throw ELayoutError(FFileName + ": " + (Control.Name().empty() ? "(unnamed)" : Control.Name()) + ": " + What);
  }

  void ReadObject(TControl& Control, const json& Object) {
    Control.SetLoading(true);
    FLoaded.push_back(&Control);
    if (const auto Name = Object.find("name"); Name != Object.end()) {
      if (!Name->is_string()) Fail(Control, "the name is not a text");
      Control.SetName(Name->get<std::string>());
    }
    for (const auto& [Key, Value] : Object.items()) {
      if (Key == "class" || Key == "name" || Key == "controls") continue;
      try {
        if (Key.rfind("On", 0) == 0) Bind(Control, Key, Value);
        else if (!Control.SetProperty(Key, Value)) Fail(Control, "unknown property " + Key);
      } catch (const ELayoutError& E) {
        if (std::string(E.what()).rfind(FFileName + ": ", 0) == 0) throw;
        Fail(Control, Key + ": " + E.what());
      }
    }
    const auto Children = Object.find("controls");
    if (Children == Object.end()) return;
    auto* Parent = dynamic_cast<TWinControl*>(&Control);
    if (!Parent || !Children->is_array()) Fail(Control, "controls need a windowed parent and a list");
    for (const json& Child : *Children) {
      if (!Child.is_object() || !Child.contains("class") || !Child["class"].is_string())
        Fail(Control, "a child control without a class");
      const std::string ClassName = Child["class"].get<std::string>();
      std::unique_ptr<TControl> Created = ControlClasses().Create(ClassName);
      if (!Created) {
        const std::string ChildName = Child.contains("name") && Child["name"].is_string() ? Child["name"].get<std::string>() : "(unnamed)";
        throw ELayoutError(FFileName + ": " + ChildName + ": unknown class " + ClassName);
      }
      TControl& Added = Parent->InsertControl(std::move(Created));
      ReadObject(Added, Child);
    }
  }

  void Bind(TControl& Control, const std::string& Event, const json& Value) {
    if (!Value.is_string()) Fail(Control, Event + ": the handler is not a name");
    const std::string Handler = Value.get<std::string>();
    const auto Method = FMethods.find(Handler);
    if (Method == FMethods.end()) Fail(Control, "unknown handler " + Handler + " for " + Event);
    if (!Control.SetEvent(Event, Method->second)) Fail(Control, "unknown event " + Event);
  }

  TCustomForm& FForm;
  std::string FFileName;
  std::map<std::string, TMethod> FMethods;
  std::vector<TControl*> FLoaded;
};

}  // namespace

void LoadLayout(TCustomForm& Form, const std::string& LayoutText, const std::string& FileName) {
  json Root;
  try {
    Root = json::parse(LayoutText);
  } catch (const json::parse_error& E) {
    throw ELayoutError(FileName + ": " + E.what());
  }
  TLayoutReader(Form, FileName).Read(Root);
}
