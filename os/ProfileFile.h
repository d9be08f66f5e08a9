#pragma once
// The system profile file: an ini file shared with other programs, read and written by section
// and key. Reads never fail (a file that cannot be read has no keys); writes say what went wrong.
#include "os/WriteResult.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class TProfileFile {
public:
  explicit TProfileFile(std::filesystem::path Path);

  // win.ini in $XDG_CONFIG_HOME, or in ~/.config when that is unset, empty or relative.
  static std::filesystem::path SystemProfilePath();

  const std::filesystem::path& Path() const { return FPath; }

  // The value, or nothing when the key is missing or the file cannot be read.
  std::optional<std::string> ReadString(std::string_view Section, std::string_view Key) const;
  // A present but empty value gives the empty text, not Default.
  std::string ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const;
  // Default for a missing key or an empty value, otherwise the number the value starts with.
  int32_t ReadInteger(std::string_view Section, std::string_view Key, int32_t Default) const;

  // Creates the section and the key when missing, replaces the value otherwise. Refused before
  // anything is touched when the names or the value would change the file's structure.
  TWriteResult WriteString(std::string_view Section, std::string_view Key, std::string_view Value) const;

private:
  std::filesystem::path FPath;
};
