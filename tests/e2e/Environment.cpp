#include "e2e/Environment.h"

#include <unistd.h>

TEnvironment TEnvironment::Inherited() {
  TEnvironment Result;
  for (char** Entry = environ; *Entry != nullptr; ++Entry) {
    const std::string Text = *Entry;
    const auto Equals = Text.find('=');
    if (Equals != std::string::npos) Result.FVariables[Text.substr(0, Equals)] = Text.substr(Equals + 1);
  }
  return Result;
}

void TEnvironment::Set(const std::string& Name, const std::string& Value) { FVariables[Name] = Value; }

void TEnvironment::Unset(const std::string& Name) { FVariables.erase(Name); }

std::vector<std::string> TEnvironment::Entries() const {
  std::vector<std::string> Result;
  Result.reserve(FVariables.size());
  for (const auto& [Name, Value] : FVariables) Result.push_back(Name + "=" + Value);
  return Result;
}
