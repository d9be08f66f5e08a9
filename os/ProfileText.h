#pragma once
// The text format of the system profile file, as pure functions over the file's bytes: finding a
// value, reading a number from it, and applying a write to the content. Files, locks and flushing
// live elsewhere (ProfileFile), so these rules can be tested and fuzzed on strings alone.
//
// The format: a header line `[Name]` opens a section; `key=value` lines belong to the last header
// above them; a line whose first non-blank character is `;` is a comment; other lines are ignored.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The value of Key in Section: blanks around it dropped, one pair of matching outer quotes removed.
// The view points into Content. Nothing when the section or the key is missing (also for an empty
// section or key name asked for). Names compare without ASCII case and without surrounding blanks;
// the first of duplicate sections, and the first of duplicate keys in it, is the one that counts.
std::optional<std::string_view> FindProfileValue(std::string_view Content, std::string_view Section,
                                                 std::string_view Key);

// The same search fed one line at a time, for a file read in pieces. Lines are given without
// their line break.
class TProfileValueFinder {
public:
  // The names are kept as views: they must outlive the finder.
  TProfileValueFinder(std::string_view Section, std::string_view Key);

  // False once no later line can change the answer.
  bool FeedLine(std::string_view Line);
  // The value found, a view into the line that held it; nothing while not found.
  std::optional<std::string_view> Value() const { return FValue; }

private:
  enum class TState { BeforeSection, InSection, Finished };
  std::string_view FSection;
  std::string_view FKey;
  TState FState = TState::BeforeSection;
  std::optional<std::string_view> FValue;
};

// The number a value starts with: optional blanks, optional sign, then decimal digits or
// hexadecimal after a lowercase "0x", wrapping to 32 bits; no digits read 0. An empty value reads Default.
int32_t ProfileIntFromText(std::string_view Text, int32_t Default);

// Why writing Value under Key in Section would change the file's structure or not read back as
// written; empty when the write may go ahead.
std::string ProfileWriteRefusal(std::string_view Section, std::string_view Key, std::string_view Value);

// The content after writing Value under Key in Section: the value replaced in place, or a new key
// line after the section's last non-blank line, or a new section at the end after a blank line.
// Every other byte stays; new lines take the file's line breaks. Nothing when the write is refused.
std::optional<std::string> ApplyProfileWrite(std::string_view Content, std::string_view Section,
                                             std::string_view Key, std::string_view Value);
