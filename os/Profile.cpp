#include "os/Profile.h"

#include "os/ProfileFile.h"

#include <algorithm>
#include <cstring>
#include <string>

int32_t GetProfileIntA(const char* AppName, const char* KeyName, int32_t Default) {
  if (!AppName || !KeyName) return Default;
  try {
    return TProfileFile(TProfileFile::SystemProfilePath()).ReadInteger(AppName, KeyName, Default);
  } catch (...) {
    return Default;  // the caller is never told; a failed read is a missing key
  }
}

uint32_t GetProfileStringA(const char* AppName, const char* KeyName, const char* Default, char* ReturnedString,
                           uint32_t Size) {
  if (!ReturnedString || Size == 0) return 0;
  std::string Text;
  try {
    if (AppName && KeyName) Text = TProfileFile(TProfileFile::SystemProfilePath()).ReadString(AppName, KeyName, Default ? Default : "");
    else if (Default) Text = Default;
  } catch (...) {
    Text = Default ? Default : "";
  }
  // A zero byte in the file ends the text, as it would for the caller anyway.
  const std::size_t Length = std::min<std::size_t>(::strnlen(Text.c_str(), Text.size()), Size - 1);
  std::memcpy(ReturnedString, Text.data(), Length);
  ReturnedString[Length] = '\0';
  return static_cast<uint32_t>(Length);
}

bool WriteProfileStringA(const char* AppName, const char* KeyName, const char* String) {
  if (!AppName || !KeyName || !String) return false;
  try {
    return TProfileFile(TProfileFile::SystemProfilePath()).WriteString(AppName, KeyName, String).Ok();
  } catch (...) {
    return false;
  }
}
