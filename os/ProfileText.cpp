#include "os/ProfileText.h"

#include <cstddef>

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

bool IsQuote(char C) { return C == '"' || C == '\''; }

std::string_view TrimLeft(std::string_view Text) {
  std::size_t Begin = 0;
  while (Begin < Text.size() && IsBlank(Text[Begin])) ++Begin;
  return Text.substr(Begin);
}

std::string_view Trim(std::string_view Text) {
  Text = TrimLeft(Text);
  std::size_t End = Text.size();
  while (End > 0 && IsBlank(Text[End - 1])) --End;
  return Text.substr(0, End);
}

char LowerAscii(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameName(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (LowerAscii(A[I]) != LowerAscii(B[I])) return false;
  return true;
}

std::string_view Unquote(std::string_view Value) {
  if (Value.size() >= 2 && IsQuote(Value.front()) && Value.front() == Value.back())
    return Value.substr(1, Value.size() - 2);
  return Value;
}

// One line: its text, and its break ("\n", "\r\n", or none on a last line). A "\r" that is the
// file's very last byte is taken as a break cut short, so that completing it keeps the text.
struct TLine {
  std::size_t Begin = 0;
  std::size_t TextEnd = 0;  // where the break starts
  std::size_t End = 0;      // where the next line starts
  bool Terminated = false;  // ends with "\n"
};

class TLineWalker {
public:
  explicit TLineWalker(std::string_view Content) : FContent(Content) {}

  bool Next(TLine& Line) {
    if (FPosition >= FContent.size()) return false;
    Line.Begin = FPosition;
    const std::size_t Break = FContent.find('\n', FPosition);
    Line.Terminated = Break != std::string_view::npos;
    Line.End = Line.Terminated ? Break + 1 : FContent.size();
    const std::size_t BeforeNewline = Line.Terminated ? Break : FContent.size();
    Line.TextEnd = BeforeNewline > Line.Begin && FContent[BeforeNewline - 1] == '\r' ? BeforeNewline - 1
                                                                                     : BeforeNewline;
    FPosition = Line.End;
    return true;
  }

private:
  std::string_view FContent;
  std::size_t FPosition = 0;
};

enum class TLineKind { Blank, Comment, Header, Key, Other };

struct TParsedLine {
  TLineKind Kind = TLineKind::Other;
  std::string_view Name;       // the section of a header, the key of a key line; trimmed
  std::size_t ValueBegin = 0;  // a key line's value without the blanks around it, as offsets
  std::size_t ValueEnd = 0;    // into the line's text (ClassifyLine) or the content (ParseLine)
};

// What a line is, from its text without the line break.
TParsedLine ClassifyLine(std::string_view Text) {
  const std::string_view Rest = TrimLeft(Text);
  TParsedLine Parsed;
  if (Rest.empty()) {
    Parsed.Kind = TLineKind::Blank;
  } else if (Rest.front() == '[') {
    Parsed.Kind = TLineKind::Header;
    const std::string_view Inside = Rest.substr(1);
    Parsed.Name = Trim(Inside.substr(0, Inside.rfind(']')));
  } else if (Rest.front() == ';') {
    Parsed.Kind = TLineKind::Comment;
  } else if (const std::size_t Equals = Text.find('='); Equals != std::string_view::npos) {
    Parsed.Kind = TLineKind::Key;
    Parsed.Name = Trim(Text.substr(0, Equals));
    std::size_t Begin = Equals + 1;
    std::size_t End = Text.size();
    while (Begin < End && IsBlank(Text[Begin])) ++Begin;
    while (End > Begin && IsBlank(Text[End - 1])) --End;
    Parsed.ValueBegin = Begin;
    Parsed.ValueEnd = End;
  }
  return Parsed;
}

std::string_view TextOf(std::string_view Content, const TLine& Line) {
  return Content.substr(Line.Begin, Line.TextEnd - Line.Begin);
}

// The same with value offsets into the whole content.
TParsedLine ParseLine(std::string_view Content, const TLine& Line) {
  TParsedLine Parsed = ClassifyLine(TextOf(Content, Line));
  Parsed.ValueBegin += Line.Begin;
  Parsed.ValueEnd += Line.Begin;
  return Parsed;
}

bool IsHeaderText(std::string_view Text) {
  const std::string_view Rest = TrimLeft(Text);
  return !Rest.empty() && Rest.front() == '[';
}

// What a write needs to know about the content: where the section is and where the key is.
struct TSectionScan {
  bool SectionFound = false;
  TLine LastNonBlank;  // the section's header or its last non-blank line
  bool KeyFound = false;
  TParsedLine KeyLine;
};

TSectionScan ScanSection(std::string_view Content, std::string_view Section, std::string_view Key) {
  TSectionScan Scan;
  TLineWalker Lines(Content);
  TLine Line;
  bool Inside = false;
  while (Lines.Next(Line)) {
    if (!Inside) {
      // Outside the section only headers matter; spare the rest of the parsing.
      if (!IsHeaderText(TextOf(Content, Line))) continue;
      const TParsedLine Parsed = ParseLine(Content, Line);
      if (SameName(Parsed.Name, Section)) {
        Inside = true;
        Scan.SectionFound = true;
        Scan.LastNonBlank = Line;
      }
      continue;
    }
    const TParsedLine Parsed = ParseLine(Content, Line);
    if (Parsed.Kind == TLineKind::Header) break;  // the first section of that name is the one
    if (Parsed.Kind == TLineKind::Blank) continue;
    Scan.LastNonBlank = Line;
    if (Parsed.Kind == TLineKind::Key && SameName(Parsed.Name, Key)) {
      Scan.KeyFound = true;
      Scan.KeyLine = Parsed;
      break;
    }
  }
  return Scan;
}

bool NeedsQuotes(std::string_view Value) {
  if (Value.empty()) return false;
  return IsBlank(Value.front()) || IsBlank(Value.back()) ||
         (Value.size() >= 2 && IsQuote(Value.front()) && Value.front() == Value.back());
}

// The value as stored: quoted when a read would otherwise drop its outer blanks or quotes.
std::string EncodeValue(std::string_view Value) {
  if (NeedsQuotes(Value)) return "\"" + std::string(Value) + "\"";
  return std::string(Value);
}

// The file's own line break: that of its first line; a file with none gets "\n".
std::string_view FileLineBreak(std::string_view Content) {
  const std::size_t Newline = Content.find('\n');
  if (Newline != std::string_view::npos && Newline > 0 && Content[Newline - 1] == '\r') return "\r\n";
  return "\n";
}

std::string_view LineBreakOf(std::string_view Content, const TLine& Line) {
  return Content.substr(Line.TextEnd, Line.End - Line.TextEnd);
}

// What ends an unterminated last line before something is added after it: a "\r" cut short is
// completed, otherwise the file's break is added.
std::string_view Terminator(const TLine& Line, std::string_view Break) {
  return Line.TextEnd < Line.End ? std::string_view("\n") : Break;
}

bool IsBlankLine(std::string_view Content, const TLine& Line) { return TrimLeft(TextOf(Content, Line)).empty(); }

std::string InsertAfter(std::string_view Content, const TLine& Line, std::string_view NewLine) {
  std::string Result;
  Result.reserve(Content.size() + NewLine.size() + 4);
  if (Line.Terminated) {
    // The new line ends like the line above it.
    Result.append(Content.substr(0, Line.End)).append(NewLine).append(LineBreakOf(Content, Line));
    Result.append(Content.substr(Line.End));
  } else {
    // A file without a final line break keeps lacking one.
    Result.append(Content).append(Terminator(Line, FileLineBreak(Content))).append(NewLine);
  }
  return Result;
}

std::string AppendSection(std::string_view Content, std::string_view Section, std::string_view NewLine) {
  const std::string_view Break = FileLineBreak(Content);
  std::string Result(Content);
  TLineWalker Lines(Content);
  TLine Line;
  TLine Last;
  bool Any = false;
  while (Lines.Next(Line)) {
    Last = Line;
    Any = true;
  }
  if (Any) {
    if (!Last.Terminated) Result.append(Terminator(Last, Break));
    if (!IsBlankLine(Content, Last)) Result.append(Break);
  }
  Result.append("[").append(Section).append("]").append(Break).append(NewLine);
  if (!Any || Last.Terminated) Result.append(Break);
  return Result;
}

bool HasLineBreakOrZero(std::string_view Text) {
  return Text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

TProfileValueFinder::TProfileValueFinder(std::string_view Section, std::string_view Key)
    : FSection(Trim(Section)), FKey(Trim(Key)) {
  if (FSection.empty() || FKey.empty()) FState = TState::Finished;
}

bool TProfileValueFinder::FeedLine(std::string_view Line) {
  switch (FState) {
  case TState::BeforeSection:
    // Outside the section only headers matter; spare the rest of the parsing.
    if (IsHeaderText(Line) && SameName(ClassifyLine(Line).Name, FSection)) FState = TState::InSection;
    return true;
  case TState::InSection: {
    const TParsedLine Parsed = ClassifyLine(Line);
    if (Parsed.Kind == TLineKind::Header) {
      // The first section of that name is the one.
      FState = TState::Finished;
    } else if (Parsed.Kind == TLineKind::Key && SameName(Parsed.Name, FKey)) {
      FValue = Unquote(Line.substr(Parsed.ValueBegin, Parsed.ValueEnd - Parsed.ValueBegin));
      FState = TState::Finished;
    }
    return FState != TState::Finished;
  }
  case TState::Finished:
    break;
  }
  return false;
}

std::optional<std::string_view> FindProfileValue(std::string_view Content, std::string_view Section,
                                                 std::string_view Key) {
  TProfileValueFinder Finder(Section, Key);
  TLineWalker Lines(Content);
  TLine Line;
  while (Lines.Next(Line) && Finder.FeedLine(TextOf(Content, Line))) {
  }
  return Finder.Value();
}

int32_t ProfileIntFromText(std::string_view Text, int32_t Default) {
  if (Text.empty()) return Default;
  std::size_t I = 0;
  while (I < Text.size() && IsBlank(Text[I])) ++I;
  bool Negative = false;
  if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) Negative = Text[I++] == '-';
  uint32_t Number = 0;  // unsigned, so that overflow wraps instead of being undefined
  if (I + 1 < Text.size() && Text[I] == '0' && Text[I + 1] == 'x') {
    for (I += 2; I < Text.size(); ++I) {
      const char C = LowerAscii(Text[I]);
      uint32_t Digit = 0;
      if (C >= '0' && C <= '9') Digit = static_cast<uint32_t>(C - '0');
      else if (C >= 'a' && C <= 'f') Digit = static_cast<uint32_t>(C - 'a' + 10);
      else break;
      Number = Number * 16 + Digit;
    }
  } else {
    for (; I < Text.size() && Text[I] >= '0' && Text[I] <= '9'; ++I)
      Number = Number * 10 + static_cast<uint32_t>(Text[I] - '0');
  }
  if (Negative) Number = 0u - Number;
  return static_cast<int32_t>(Number);
}

std::string ProfileWriteRefusal(std::string_view Section, std::string_view Key, std::string_view Value) {
  if (HasLineBreakOrZero(Section)) return "the section name holds a line break or a zero byte";
  if (Trim(Section).empty()) return "the section name is empty";
  if (Section.find_first_of("[]") != std::string_view::npos) return "the section name holds a square bracket";
  if (HasLineBreakOrZero(Key)) return "the key name holds a line break or a zero byte";
  if (Trim(Key).empty()) return "the key name is empty";
  if (Key.find('=') != std::string_view::npos) return "the key name holds '='";
  if (const char First = Trim(Key).front(); First == '[' || First == ';')
    return "the key name starts with '[' or ';', which would make a header or a comment";
  if (HasLineBreakOrZero(Value)) return "the value holds a line break or a zero byte";
  return {};
}

std::optional<std::string> ApplyProfileWrite(std::string_view Content, std::string_view Section,
                                             std::string_view Key, std::string_view Value) {
  if (!ProfileWriteRefusal(Section, Key, Value).empty()) return std::nullopt;
  Section = Trim(Section);
  Key = Trim(Key);
  const std::string Stored = EncodeValue(Value);
  const TSectionScan Scan = ScanSection(Content, Section, Key);
  if (Scan.KeyFound) {
    std::string Result;
    Result.reserve(Content.size() + Stored.size());
    Result.append(Content.substr(0, Scan.KeyLine.ValueBegin)).append(Stored);
    Result.append(Content.substr(Scan.KeyLine.ValueEnd));
    return Result;
  }
  const std::string NewLine = std::string(Key) + "=" + Stored;
  if (Scan.SectionFound) return InsertAfter(Content, Scan.LastNonBlank, NewLine);
  return AppendSection(Content, Section, NewLine);
}
