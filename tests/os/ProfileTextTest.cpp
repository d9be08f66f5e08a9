// The profile file's text rules on strings: what a read finds, what a write makes of the bytes.
#include "os/ProfileText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace std::string_literals;

namespace {

struct TReadCase {
  const char* Name;
  std::string Content;
  std::string Section;
  std::string Key;
  std::optional<std::string> Expected;
};

void PrintTo(const TReadCase& Case, std::ostream* Out) { *Out << Case.Name; }

class ProfileReadTest : public testing::TestWithParam<TReadCase> {};

TEST_P(ProfileReadTest, FindsValue) {
  const TReadCase& Case = GetParam();
  const std::optional<std::string_view> Found = FindProfileValue(Case.Content, Case.Section, Case.Key);
  if (!Case.Expected) {
    EXPECT_FALSE(Found.has_value()) << "found \"" << *Found << "\"";
  } else {
    ASSERT_TRUE(Found.has_value());
    EXPECT_EQ(std::string(*Found), *Case.Expected);
  }
}

const TReadCase ReadCases[] = {
    {"Plain", "[S]\nk=v\n", "S", "k", "v"},
    {"SectionAndKeyWithoutCase", "[dustrover97]\nACTION=3\n", "Dustrover97", "Action", "3"},
    {"BlanksAroundNamesAndValueInFile", "[S]\n \tk \t=  v v \t\n", "S", "k", "v v"},
    {"BlanksAroundNamesAskedFor", "[S]\nk=v\n", " S\t", "\tk ", "v"},
    {"HeaderNameTrimmed", "[ Name ]\nk=1\n", "Name", "k", "1"},
    {"HeaderIndented", "  [S]\nk=1\n", "S", "k", "1"},
    {"HeaderWithTextAfterBracket", "[S] ; the menu\nk=1\n", "S", "k", "1"},
    {"HeaderWithoutClosingBracket", "[S\nk=1\n", "S", "k", "1"},
    {"FirstDuplicateSectionWins", "[S]\na=1\n[s]\nb=2\na=3\n", "S", "a", "1"},
    {"KeyOnlyInSecondDuplicateSectionIsMissing", "[S]\na=1\n[S]\nb=2\n", "S", "b", std::nullopt},
    {"FirstDuplicateKeyWins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
    {"LinesBeforeFirstHeaderBelongToNoSection", "k=0\n[S]\nx=1\n", "S", "k", std::nullopt},
    {"LineWithoutEqualsIsNoKey", "[S]\nk\n", "S", "k", std::nullopt},
    {"LineWithoutEqualsDoesNotHideLaterKey", "[S]\nk\nk=2\n", "S", "k", "2"},
    {"KeyInOtherSection", "[A]\nk=1\n[B]\nj=2\n", "B", "k", std::nullopt},
    {"MissingSection", "[A]\nk=1\n", "B", "k", std::nullopt},
    {"DoubleQuotesRemoved", "[S]\nk=\"a b\"\n", "S", "k", "a b"},
    {"SingleQuotesRemoved", "[S]\nk='a b'\n", "S", "k", "a b"},
    {"EmptyQuotes", "[S]\nk=\"\"\n", "S", "k", ""},
    {"OnlyOnePairRemoved", "[S]\nk=''x''\n", "S", "k", "'x'"},
    {"QuotesKeepInnerBlanks", "[S]\nk = \" a \" \n", "S", "k", " a "},
    {"LoneQuoteStays", "[S]\nk=\"a\n", "S", "k", "\"a"},
    {"SingleQuoteCharacterStays", "[S]\nk=\"\n", "S", "k", "\""},
    {"MismatchedQuotesStay", "[S]\nk=\"a'\n", "S", "k", "\"a'"},
    {"InnerQuotesStay", "[S]\nk=a\"b\"\n", "S", "k", "a\"b\""},
    {"PresentButEmpty", "[S]\nk=\n", "S", "k", ""},
    {"PresentButBlank", "[S]\nk = \t\n", "S", "k", ""},
    {"ValueHoldsEquals", "[S]\nk=a=b\n", "S", "k", "a=b"},
    {"KeyWithInnerBlank", "[S]\nmy key = 1\n", "S", "my key", "1"},
    {"CommentIsNoKey", "[S]\n;k=1\n", "S", ";k", std::nullopt},
    {"CommentedKeyDoesNotHideLaterKey", "[S]\n ; k=1\nk=2\n", "S", "k", "2"},
    {"CrLfLineBreaks", "[S]\r\nk=v\r\n", "S", "k", "v"},
    {"NoFinalNewline", "[S]\nk=v", "S", "k", "v"},
    {"CarriageReturnCutShortAtEnd", "[S]\nk=v\r", "S", "k", "v"},
    {"CarriageReturnInsideLineIsText", "[S]\nk=a\rb\n", "S", "k", "a\rb"},
    {"ZeroBytesAreText", "\0\n[S]\0\nk=a\0b\n"s, "S", "k", "a\0b"s},
    {"NonUtf8NamesCompareAsBytes", "[\xe9t\xe9]\n\xff=1\n", "\xe9t\xe9", "\xff", "1"},
    {"NonAsciiNotFoldedByCase", "[\xe9]\nk=1\n", "\xc9", "k", std::nullopt},
    {"EmptySectionAsked", "[]\nk=1\n", "", "k", std::nullopt},
    {"EmptyKeyAsked", "[S]\n=1\n", "S", " ", std::nullopt},
    {"EmptyFile", "", "S", "k", std::nullopt},
    {"OnlyNewlines", "\n\n\r\n", "S", "k", std::nullopt},
    {"NextHeaderEndsSection", "[S]\n[T]\nk=1\n", "S", "k", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileReadTest, testing::ValuesIn(ReadCases),
                         [](const testing::TestParamInfo<TReadCase>& Info) { return Info.param.Name; });

struct TIntCase {
  std::string Text;
  int32_t Expected;
};

TEST(ProfileIntTest, ReadsTheNumberTheValueStartsWith) {
  const TIntCase Cases[] = {
      {"1abc", 1},       {"+7", 7},        {"-5", -5},        {"0x10", 16},
      {"-0x10", -16},    {"yes", 0},       {"0X10", 0},       {"0xFF", 255},
      {"0xfg", 15},      {" \t12", 12},    {"12 34", 12},     {"0x", 0},
      {"-", 0},          {"+-1", 0},       {"- 1", 0},        {"007", 7},
      {"2147483647", 2147483647},          {"2147483648", -2147483647 - 1},
      {"4294967297", 1}, {"-4294967295", 1}, {"0x80000000", -2147483647 - 1},
      {"0x1ffffffff", -1}, {"99999999999999999999", 1661992959},
  };
  for (const TIntCase& Case : Cases)
    EXPECT_EQ(ProfileIntFromText(Case.Text, 42), Case.Expected) << "text \"" << Case.Text << "\"";
}

TEST(ProfileIntTest, EmptyValueGivesDefault) {
  EXPECT_EQ(ProfileIntFromText("", 42), 42);
  EXPECT_EQ(ProfileIntFromText(" ", 42), 0);  // a quoted blank is a value, and not a number
}

struct TWriteCase {
  const char* Name;
  std::string Before;
  std::string Section;
  std::string Key;
  std::string Value;
  std::string After;
};

void PrintTo(const TWriteCase& Case, std::ostream* Out) { *Out << Case.Name; }

class ProfileWriteTest : public testing::TestWithParam<TWriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyWhatItMust) {
  const TWriteCase& Case = GetParam();
  const std::optional<std::string> After = ApplyProfileWrite(Case.Before, Case.Section, Case.Key, Case.Value);
  ASSERT_TRUE(After.has_value());
  EXPECT_EQ(testing::PrintToString(*After), testing::PrintToString(Case.After));
  // What was written reads back, and writing it again changes nothing.
  const std::optional<std::string_view> Read = FindProfileValue(*After, Case.Section, Case.Key);
  ASSERT_TRUE(Read.has_value());
  EXPECT_EQ(std::string(*Read), Case.Value);
  EXPECT_EQ(ApplyProfileWrite(*After, Case.Section, Case.Key, Case.Value), *After);
}

const TWriteCase WriteCases[] = {
    {"EmptyFile", "", "S", "k", "v", "[S]\nk=v\n"},
    {"ReplaceKeepsSpacingAroundValue", "[S]\nk  =  old  \n", "S", "k", "new", "[S]\nk  =  new  \n"},
    {"ReplaceKeepsNamesAsWritten", "[dustrover97]\n ACTION\t= 1\n", "Dustrover97", "Action", "4",
     "[dustrover97]\n ACTION\t= 4\n"},
    {"ReplaceKeepsOtherSectionsAndComments",
     "; shared file\n[A]\nk=1\n\n[S]\n; the key\nk=1 ; not a comment\nj=2\n\n[B]\nk=1\n", "S", "k", "2",
     "; shared file\n[A]\nk=1\n\n[S]\n; the key\nk=2\nj=2\n\n[B]\nk=1\n"},
    {"ReplaceEmptyValue", "[S]\nk=\nj=1\n", "S", "k", "v", "[S]\nk=v\nj=1\n"},
    {"ReplaceBlankValueKeepsBlanks", "[S]\nk =  \n", "S", "k", "v", "[S]\nk =  v\n"},
    {"ReplaceWithEmpty", "[S]\nk = old\n", "S", "k", "", "[S]\nk = \n"},
    {"ReplaceQuotedValue", "[S]\nk=\"a b\"\n", "S", "k", "c", "[S]\nk=c\n"},
    {"ReplaceFirstOfDuplicateKeys", "[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=3\nk=2\n"},
    {"ReplaceInFirstOfDuplicateSections", "[S]\na=1\n[S]\nk=2\n", "S", "k", "3", "[S]\na=1\nk=3\n[S]\nk=2\n"},
    {"CrLfReplace", "[S]\r\nk=1\r\nj=2\r\n", "S", "k", "5", "[S]\r\nk=5\r\nj=2\r\n"},
    {"CrLfNewKey", "[S]\r\nk=1\r\n", "S", "j", "2", "[S]\r\nk=1\r\nj=2\r\n"},
    {"CrLfNewSection", "[A]\r\nx=1\r\n", "S", "k", "v", "[A]\r\nx=1\r\n\r\n[S]\r\nk=v\r\n"},
    {"CrLfNoFinalNewlineNewKey", "[S]\r\nk=1", "S", "j", "2", "[S]\r\nk=1\r\nj=2"},
    {"NoFinalNewlineReplace", "[S]\nk=1", "S", "k", "2", "[S]\nk=2"},
    {"NoFinalNewlineNewKey", "[S]\nk=1", "S", "j", "2", "[S]\nk=1\nj=2"},
    {"NoFinalNewlineNewKeyAfterHeader", "[S]", "S", "j", "2", "[S]\nj=2"},
    {"NoFinalNewlineNewSection", "[A]\nx=1", "S", "k", "v", "[A]\nx=1\n\n[S]\nk=v"},
    {"CarriageReturnCutShortIsCompleted", "[S]\r\nk=1\r", "S", "j", "2", "[S]\r\nk=1\r\nj=2"},
    {"NewKeyAfterLastNonBlankLine", "[S]\nk=1\n\n\n[B]\ny=2\n", "S", "j", "2", "[S]\nk=1\nj=2\n\n\n[B]\ny=2\n"},
    {"NewKeyAfterHeaderOfEmptySection", "[S]\n\n[B]\n", "S", "j", "2", "[S]\nj=2\n\n[B]\n"},
    {"NewKeyAfterCommentInSection", "[S]\nk=1\n; note\n\n", "S", "j", "2", "[S]\nk=1\n; note\nj=2\n\n"},
    {"NewKeyInLastSectionWithTrailingBlanks", "[S]\nk=1\n  \n\n", "S", "j", "2", "[S]\nk=1\nj=2\n  \n\n"},
    {"NewKeyNotBeforeFirstHeader", "k=0\n[S]\n", "S", "k", "1", "k=0\n[S]\nk=1\n"},
    {"NewKeyInSectionOfOtherCase", "[s]\nK=1\n", "S", "j", "2", "[s]\nK=1\nj=2\n"},
    {"NewSectionAfterBlankLine", "[A]\nx=1\n", "S", "k", "v", "[A]\nx=1\n\n[S]\nk=v\n"},
    {"NewSectionReusesTrailingBlankLine", "[A]\nx=1\n\n", "S", "k", "v", "[A]\nx=1\n\n[S]\nk=v\n"},
    {"NewSectionAfterLinesWithoutHeader", "k=0", "S", "k", "1", "k=0\n\n[S]\nk=1"},
    {"NamesWrittenTrimmed", "", " S\t", " k ", "v", "[S]\nk=v\n"},
    {"NonUtf8BytesKept", "\xff\xfe[A]\nname=\xe9t\xe9\n[S]\nk=\x80\n", "S", "k", "\xc3\xa9",
     "\xff\xfe[A]\nname=\xe9t\xe9\n[S]\nk=\xc3\xa9\n"},
    {"ZeroBytesElsewhereKept", "[A]\nz=\0\0\n"s, "S", "k", "v", "[A]\nz=\0\0\n\n[S]\nk=v\n"s},
    {"ValueWithOuterBlanksQuoted", "[S]\nk=1\n", "S", "k", " a ", "[S]\nk=\" a \"\n"},
    {"ValueInQuotesQuotedAgain", "", "S", "k", "\"x\"", "[S]\nk=\"\"x\"\"\n"},
    {"ValueInSingleQuotesQuoted", "", "S", "k", "'x'", "[S]\nk=\"'x'\"\n"},
    {"LoneQuoteNotQuoted", "", "S", "k", "\"x", "[S]\nk=\"x\n"},
    {"ValueWithStructureCharacters", "", "S", "k", "[a]=;b", "[S]\nk=[a]=;b\n"},
    {"KeyWithBracketInside", "", "S", "a]b", "1", "[S]\na]b=1\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWriteTest, testing::ValuesIn(WriteCases),
                         [](const testing::TestParamInfo<TWriteCase>& Info) { return Info.param.Name; });

TEST(ProfileWriteTest, WriteLeavesOtherKeysReadingAsBefore) {
  const std::string Before = "[S]\nk=1\nj = \"2\"\n[T]\nk=3\n";
  const std::optional<std::string> After = ApplyProfileWrite(Before, "S", "k", "9");
  ASSERT_TRUE(After.has_value());
  EXPECT_EQ(FindProfileValue(*After, "S", "j"), "2");
  EXPECT_EQ(FindProfileValue(*After, "T", "k"), "3");
}

struct TRefusalCase {
  std::string Section;
  std::string Key;
  std::string Value;
};

TEST(ProfileRefusalTest, RefusesWhatWouldChangeTheStructure) {
  const TRefusalCase Cases[] = {
      {"", "k", "v"},       {" \t", "k", "v"},      {"a\nb", "k", "v"},   {"a\rb", "k", "v"},
      {"a\0b"s, "k", "v"},  {"a]b", "k", "v"},      {"[a", "k", "v"},     {"a]", "k", "v"},
      {"S", "", "v"},       {"S", "  ", "v"},       {"S", "a=b", "v"},    {"S", "a\nb", "v"},
      {"S", "a\rb", "v"},   {"S", "a\0"s, "v"},     {"S", "[a", "v"},     {"S", " [a]", "v"},
      {"S", ";a", "v"},     {"S", "\t;a", "v"},     {"S", "k", "a\nb"},   {"S", "k", "a\rb"},
      {"S", "k", "a\0b"s},  {"S", "k", "\n"},       {"S", "k", "a\r"},
  };
  const std::string Before = "[S]\nk=1\n";
  for (const TRefusalCase& Case : Cases) {
    const std::string Where = testing::PrintToString(Case.Section) + " " + testing::PrintToString(Case.Key) +
                              " " + testing::PrintToString(Case.Value);
    EXPECT_FALSE(ProfileWriteRefusal(Case.Section, Case.Key, Case.Value).empty()) << Where;
    EXPECT_FALSE(ApplyProfileWrite(Before, Case.Section, Case.Key, Case.Value).has_value()) << Where;
  }
}

TEST(ProfileRefusalTest, AcceptsHarmlessCharacters) {
  const TRefusalCase Cases[] = {
      {"a;b", "k", "v"}, {";S", "k", "v"}, {"S=1", "k", "v"}, {"S", "a;b", "v"}, {"S", "a]b", "v"},
      {"S", "a[b", "v"}, {"S", "\"k\"", "v"}, {"S", "k", ""}, {"S", "k", " "}, {"S", "k", "=[];\"'"},
  };
  for (const TRefusalCase& Case : Cases) {
    EXPECT_EQ(ProfileWriteRefusal(Case.Section, Case.Key, Case.Value), "") << Case.Section << " " << Case.Key;
    const std::optional<std::string> After = ApplyProfileWrite("", Case.Section, Case.Key, Case.Value);
    ASSERT_TRUE(After.has_value());
    EXPECT_EQ(FindProfileValue(*After, Case.Section, Case.Key), Case.Value) << testing::PrintToString(*After);
  }
}

}  // namespace
