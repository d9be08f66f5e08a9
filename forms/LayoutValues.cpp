#include "forms/LayoutValues.h"

#include "os/Exceptions.h"

#include <nlohmann/json.hpp>

int32_t LayoutInt(const nlohmann::ordered_json& Value) {
  if (!Value.is_number_integer()) throw ELayoutError("expected a whole number, found " + Value.dump());
  const auto Number = Value.get<int64_t>();
  if (Number < INT32_MIN || Number > INT32_MAX) throw ELayoutError("number out of range: " + Value.dump());
  return static_cast<int32_t>(Number);
}

bool LayoutBool(const nlohmann::ordered_json& Value) {
  if (!Value.is_boolean()) throw ELayoutError("expected true or false, found " + Value.dump());
  return Value.get<bool>();
}

std::string LayoutString(const nlohmann::ordered_json& Value) {
  if (!Value.is_string()) throw ELayoutError("expected a text, found " + Value.dump());
  return Value.get<std::string>();
}

TColor LayoutColor(const nlohmann::ordered_json& Value) {
  try {
    return StringToColor(LayoutString(Value));
  } catch (const std::invalid_argument&) {
    throw ELayoutError("unknown colour " + Value.dump());
  }
}

int LayoutEnum(const nlohmann::ordered_json& Value, std::initializer_list<const char*> Names) {
  const std::string Text = LayoutString(Value);
  int Index = 0;
  for (const char* Name : Names) {
    if (Text == Name) return Index;
    ++Index;
  }
  throw ELayoutError("unknown value " + Value.dump());
}

TFont LayoutFont(const nlohmann::ordered_json& Value, const TFont& Base) {
  if (!Value.is_object()) throw ELayoutError("expected a font object, found " + Value.dump());
  TFont Font = Base;
  for (const auto& [Key, Field] : Value.items()) {
    if (Key == "Name") Font.Name = LayoutString(Field);
    else if (Key == "Height") Font.Height = LayoutInt(Field);
    else if (Key == "Color") Font.Color = LayoutColor(Field);
    else if (Key == "Charset") LayoutEnum(Field, {"DEFAULT_CHARSET"});
    else if (Key == "Style") {
      if (!Field.is_array()) throw ELayoutError("expected a list of font styles, found " + Field.dump());
      Font.Bold = false;
      for (const auto& Style : Field) Font.Bold |= LayoutEnum(Style, {"fsBold"}) == 0;
    } else
      throw ELayoutError("unknown font property " + Key);
  }
  return Font;
}

TNotifyEvent LayoutNotifyEvent(const TMethod& Handler) {
  if (const auto* Event = std::get_if<TNotifyEvent>(&Handler)) return *Event;
  throw ELayoutError("handler does not fit a notify event");
}

TKeyPressEvent LayoutKeyPressEvent(const TMethod& Handler) {
  if (const auto* Event = std::get_if<TKeyPressEvent>(&Handler)) return *Event;
  throw ELayoutError("handler does not fit a key press event");
}
