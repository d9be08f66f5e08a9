#include "os/ProfileFile.h"

#include "os/FileReplacement.h"
#include "os/LineReader.h"
#include "os/ProfileText.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

std::filesystem::path HomeFolder() {
  if (const char* Home = std::getenv("HOME"); Home && *Home) return Home;
  // No HOME (a service, a stripped environment): the account's home from the user database.
  long Size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> Buffer(Size > 0 ? static_cast<std::size_t>(Size) : 16384);
  passwd Entry {};
  passwd* Found = nullptr;
  if (::getpwuid_r(::getuid(), &Entry, Buffer.data(), Buffer.size(), &Found) == 0 && Found && Found->pw_dir)
    return Found->pw_dir;
  return ".";
}

}  // namespace

TProfileFile::TProfileFile(std::filesystem::path Path) : FPath(std::move(Path)) {}

std::filesystem::path TProfileFile::SystemProfilePath() {
  const char* ConfigHome = std::getenv("XDG_CONFIG_HOME");
  // The XDG base directory rules say a relative value is to be ignored.
  if (ConfigHome && *ConfigHome == '/') return std::filesystem::path(ConfigHome) / "win.ini";
  return HomeFolder() / ".config" / "win.ini";
}

std::optional<std::string> TProfileFile::ReadString(std::string_view Section, std::string_view Key) const {
  // Line by line, stopping at the key: a large file is neither held whole nor read to its end.
  TProfileValueFinder Finder(Section, Key);
  std::optional<std::string> Value;
  ReadFileLines(FPath, [&](std::string_view Line) {
    if (Finder.FeedLine(Line)) return true;
    if (const std::optional<std::string_view> Found = Finder.Value()) Value = std::string(*Found);
    return false;
  });
  return Value;
}

std::string TProfileFile::ReadString(std::string_view Section, std::string_view Key,
                                     std::string_view Default) const {
  std::optional<std::string> Value = ReadString(Section, Key);
  return Value ? std::move(*Value) : std::string(Default);
}

int32_t TProfileFile::ReadInteger(std::string_view Section, std::string_view Key, int32_t Default) const {
  const std::optional<std::string> Value = ReadString(Section, Key);
  return Value ? ProfileIntFromText(*Value, Default) : Default;
}

TWriteResult TProfileFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) const {
  if (std::string Refusal = ProfileWriteRefusal(Section, Key, Value); !Refusal.empty())
    return TWriteResult::Refused(std::move(Refusal));
  return ReplaceFileContent(FPath, [&](std::string_view Old) {
    // Cannot be refused any more: the names and the value were checked above.
    return ApplyProfileWrite(Old, Section, Key, Value).value_or(std::string(Old));
  });
}
