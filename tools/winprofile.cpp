// winprofile: the system profile file from the command line, so that a launcher script can read
// what the menu wrote under its section, and set what the menu reads.
#include "os/Profile.h"
#include "os/ProfileFile.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The menu reads text into a buffer of this size; the tool shows what the menu would see.
constexpr uint32_t TextBufferSize = 256;

constexpr char Usage[] =
    "usage: winprofile get SECTION KEY DEFAULT      print the text under KEY, or DEFAULT when missing\n"
    "       winprofile get-int SECTION KEY DEFAULT  print the integer under KEY, or DEFAULT when missing or empty\n"
    "       winprofile set SECTION KEY VALUE        write VALUE under KEY and print it\n"
    "The file is win.ini in $XDG_CONFIG_HOME (default ~/.config). A text read gives at most 255 characters.\n"
    "Exit status: 0 done, 1 the write was refused or failed, 2 wrong arguments.\n";

int WrongArguments(const char* Why) {
  std::fprintf(stderr, "winprofile: %s\n%s", Why, Usage);
  return 2;
}

// A decimal 32-bit integer with an optional sign, and nothing else.
bool ParseInteger(std::string_view Text, int32_t& Value) {
  if (!Text.empty() && Text.front() == '+') {
    Text.remove_prefix(1);
    if (!Text.empty() && (Text.front() == '+' || Text.front() == '-')) return false;
  }
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  return Error == std::errc() && End == Text.data() + Text.size();
}

// Prints Text and a newline; false when stdout cannot take it (a closed pipe, a full disk).
bool PrintLine(std::string_view Text) {
  std::fwrite(Text.data(), 1, Text.size(), stdout);
  std::fputc('\n', stdout);
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "winprofile: cannot write the answer: %s\n", std::strerror(errno));
  return false;
}

int Set(const char* Section, const char* Key, const char* Value) {
  // The store itself, not WriteProfileStringA: a script needs to know why a write did not happen.
  const TProfileFile Profile(TProfileFile::SystemProfilePath());
  const TWriteResult Result = Profile.WriteString(Section, Key, Value);
  if (!Result.Ok()) {
    std::fprintf(stderr, "winprofile: %s writing %s in [%s] of %s: %s\n",
                 Result.Status == TWriteStatus::Refused ? "refused" : "failed", Key, Section,
                 Profile.Path().c_str(), Result.Message.c_str());
    return 1;
  }
  return PrintLine(Value) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(Usage, stdout);
    return 0;
  }
  if (argc < 2) return WrongArguments("no command given");
  const std::string_view Command = argv[1];
  if (Command != "get" && Command != "get-int" && Command != "set")
    return WrongArguments("unknown command");
  if (argc != 5) return WrongArguments("a command takes SECTION, KEY and one more argument");
  const char* Section = argv[2];
  const char* Key = argv[3];

  if (Command == "get") {
    char Text[TextBufferSize];
    const uint32_t Length = GetProfileStringA(Section, Key, argv[4], Text, sizeof Text);
    return PrintLine(std::string_view(Text, Length)) ? 0 : 1;
  }
  if (Command == "get-int") {
    int32_t Default = 0;
    if (!ParseInteger(argv[4], Default)) return WrongArguments("DEFAULT must be a decimal 32-bit integer");
    return PrintLine(std::to_string(GetProfileIntA(Section, Key, Default))) ? 0 : 1;
  }
  return Set(Section, Key, argv[4]);
}
