// Fuzzes the profile file's text rules with arbitrary bytes as the file's content and as the
// names and value of a write. Beyond not crashing, it checks what must always hold:
// - a read line by line through a tiny buffer finds what a read of the whole content finds;
// - a write that is not refused reads back as written, is idempotent, never removes a line
//   break, and leaves every other key reading as before;
// - a refused write changes nothing.
#include "os/FileHandle.h"
#include "os/LineReader.h"
#include "os/ProfileText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

std::string Normalized(std::string_view Name) {
  while (!Name.empty() && (Name.front() == ' ' || Name.front() == '\t')) Name.remove_prefix(1);
  while (!Name.empty() && (Name.back() == ' ' || Name.back() == '\t')) Name.remove_suffix(1);
  std::string Result(Name);
  for (char& C : Result)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return Result;
}

std::optional<std::string> Owned(std::optional<std::string_view> View) {
  return View ? std::optional<std::string>(*View) : std::nullopt;
}

// Takes a piece of Length bytes from the front of Data.
std::string_view Take(std::string_view& Data, std::size_t Length) {
  const std::string_view Piece = Data.substr(0, Length);
  Data.remove_prefix(Piece.size());
  return Piece;
}

std::optional<std::string> ReadLineByLine(std::string_view Content, std::string_view Section, std::string_view Key,
                                          std::size_t ChunkSize) {
  TFileHandle File(::memfd_create("profile", MFD_CLOEXEC));
  Check(File.IsOpen());
  Check(::write(File.Descriptor(), Content.data(), Content.size()) == static_cast<ssize_t>(Content.size()));
  ::lseek(File.Descriptor(), 0, SEEK_SET);
  TProfileValueFinder Finder(Section, Key);
  std::optional<std::string> Value;
  Check(ReadFileLines(File.Descriptor(), [&](std::string_view Line) {
          if (Finder.FeedLine(Line)) return true;
          Value = Owned(Finder.Value());
          return false;
        }, 1 << 20, ChunkSize) == 0);
  return Value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Bytes, size_t Size) {
  std::string_view Data(reinterpret_cast<const char*>(Bytes), Size);
  if (Data.size() < 4) return 0;
  const std::size_t SectionLength = static_cast<uint8_t>(Data[0]) % 16;
  const std::size_t KeyLength = static_cast<uint8_t>(Data[1]) % 16;
  const std::size_t ValueLength = static_cast<uint8_t>(Data[2]) % 32;
  const std::size_t ChunkSize = static_cast<uint8_t>(Data[3]) % 16 + 1;
  Data.remove_prefix(4);
  const std::string Section(Take(Data, SectionLength));
  const std::string Key(Take(Data, KeyLength));
  const std::string Value(Take(Data, ValueLength));
  const std::string_view Content = Data;

  const std::optional<std::string> Before = Owned(FindProfileValue(Content, Section, Key));
  Check(ReadLineByLine(Content, Section, Key, ChunkSize) == Before);
  if (Before) (void)ProfileIntFromText(*Before, 7);

  const std::optional<std::string> After = ApplyProfileWrite(Content, Section, Key, Value);
  Check(After.has_value() == ProfileWriteRefusal(Section, Key, Value).empty());
  if (!After) return 0;

  Check(FindProfileValue(*After, Section, Key) == std::optional<std::string_view>(Value));
  Check(ApplyProfileWrite(*After, Section, Key, Value) == After);

  // The bytes between the common start and the common end are what the write took away: at most
  // a value, never a line break.
  std::size_t Prefix = 0;
  while (Prefix < Content.size() && Prefix < After->size() && Content[Prefix] == (*After)[Prefix]) ++Prefix;
  std::size_t Suffix = 0;
  while (Suffix < Content.size() - Prefix && Suffix < After->size() - Prefix &&
         Content[Content.size() - 1 - Suffix] == (*After)[After->size() - 1 - Suffix])
    ++Suffix;
  Check(Content.substr(Prefix, Content.size() - Prefix - Suffix).find('\n') == std::string_view::npos);

  // Other keys read as before: the keys of the content's first lines, in the section above
  // them, and a few fixed names.
  std::vector<std::pair<std::string, std::string>> Probes = {
      {Section, "Probe"}, {Section, Key + "x"}, {"Dustrover97", "Action"}, {Key, Key}, {Value, Section}};
  std::string_view Rest = Content;
  std::string_view Current;
  for (int Line = 0; Line < 32 && !Rest.empty(); ++Line) {
    const std::string_view Text = Rest.substr(0, Rest.find('\n'));
    Rest.remove_prefix(std::min(Rest.size(), Text.size() + 1));
    const std::size_t Open = Text.find('[');
    if (Open != std::string_view::npos && Text.find_first_not_of(" \t") == Open) {
      Current = Text.substr(Open + 1, Text.rfind(']') > Open ? Text.rfind(']') - Open - 1 : std::string_view::npos);
    } else if (const std::size_t Equals = Text.find('='); Equals != std::string_view::npos) {
      Probes.emplace_back(Current, Text.substr(0, Equals));
    }
  }
  for (const auto& [ProbeSection, ProbeKey] : Probes) {
    if (Normalized(ProbeSection) == Normalized(Section) && Normalized(ProbeKey) == Normalized(Key)) continue;
    Check(Owned(FindProfileValue(Content, ProbeSection, ProbeKey)) ==
          Owned(FindProfileValue(*After, ProbeSection, ProbeKey)));
  }
  return 0;
}
