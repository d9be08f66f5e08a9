#pragma once
// Reading typed property values from layout data; a wrong type throws ELayoutError.
#include "forms/Graphics.h"
#include "forms/Object.h"
#include "os/Exceptions.h"

#include <nlohmann/json_fwd.hpp>
#include <string>

int32_t LayoutInt(const nlohmann::ordered_json& Value);
bool LayoutBool(const nlohmann::ordered_json& Value);
std::string LayoutString(const nlohmann::ordered_json& Value);
TColor LayoutColor(const nlohmann::ordered_json& Value);
// A font object {"Name", "Height", "Color", "Style": [...], "Charset"}; unset fields keep Base's.
TFont LayoutFont(const nlohmann::ordered_json& Value, const TFont& Base);
// One of the given names, as its index.
int LayoutEnum(const nlohmann::ordered_json& Value, std::initializer_list<const char*> Names);
TNotifyEvent LayoutNotifyEvent(const TMethod& Handler);
TKeyPressEvent LayoutKeyPressEvent(const TMethod& Handler);
