#pragma once
// Recognises the hidden access codes typed on the main window. Characters other than
// lowercase letters and digits are ignored; a character that fits no code empties the
// buffer and is dropped.
#include <cstdint>
#include <functional>

class TAccessCodes {
public:
  enum class TCode { Level5, Level6, Cheat };

  // Takes one typed character; Matched runs for each code the buffer then equals.
  void Accept(char C, const std::function<void(TCode)>& Matched);

  int32_t TypedCount() const { return FTypedCount; }
  const char* TypedKeys() const { return FTypedKeys; }

private:
  bool TypedEquals(const char* Code) const;
  bool TypedDiverges(const char* Code) const;

  char FTypedKeys[256] = {};
  int32_t FTypedCount = 0;
};
