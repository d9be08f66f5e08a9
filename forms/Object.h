#pragma once
// The root of the class library's objects and its event types.
#include <functional>

class TObject {
public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

#include <string>
#include <utility>
#include <variant>
#include <vector>

// A published method of a form: the handlers a layout may bind to events by name.
using TMethod = std::variant<TNotifyEvent, TKeyPressEvent>;
using TMethodTable = std::vector<std::pair<std::string, TMethod>>;
