// The hidden access codes: the recogniser on its own, and typed on the running menu.
#include "MenuTestSupport.h"

#include <cstring>
#include <random>

namespace MenuTest {
namespace {

using TCode = TAccessCodes::TCode;

// Feeds text to a recogniser and keeps every match, with the count seen while its effect ran.
struct TRecorder {
  TAccessCodes Codes;
  std::vector<TCode> Matches;
  std::vector<int32_t> CountsDuringEffect;

  void Type(const std::string& Text) {
    for (char C : Text)
      Codes.Accept(C, [this](TCode Code) {
        Matches.push_back(Code);
        CountsDuringEffect.push_back(Codes.TypedCount());
      });
  }
};

struct TRecogniserCase {
  const char* Name;
  std::string Typed;
  std::vector<TCode> Matches;
};

class AccessCodeRecogniser : public ::testing::TestWithParam<TRecogniserCase> {};

TEST_P(AccessCodeRecogniser, MatchesExactlyTheExpectedCodes) {
  TRecorder Recorder;
  Recorder.Type(GetParam().Typed);
  EXPECT_EQ(Recorder.Matches, GetParam().Matches);
}

const std::string Ignored{Escape, Enter, Backspace, ' ', 'A', 'Z', '-', '\t', '\x7f', '\xe9'};

INSTANTIATE_TEST_SUITE_P(
    Sequences, AccessCodeRecogniser,
    ::testing::Values(TRecogniserCase{"Level5", "kexlip5", {TCode::Level5}},
                      TRecogniserCase{"Level6", "kexlip6", {TCode::Level6}},
                      TRecogniserCase{"Cheat", "quirbalent", {TCode::Cheat}},
                      TRecogniserCase{"OtherDigit", "kexlip7", {}},
                      TRecogniserCase{"IgnoredCharactersInTheMiddle", "ke" + Ignored + "xlip5", {TCode::Level5}},
                      TRecogniserCase{"OwnLetterInUppercase", "kexLip5", {}},
                      // The second k breaks the prefix and is dropped: "exlip5" follows.
                      TRecogniserCase{"RestartWithoutABreak", "kexkexlip5", {}},
                      TRecogniserCase{"RestartAfterABreak", "kexzkexlip5", {TCode::Level5}},
                      TRecogniserCase{"CodesOneAfterAnother", "quirbalentkexlip6kexlip5", {TCode::Cheat, TCode::Level6, TCode::Level5}},
                      TRecogniserCase{"CheatTwice", "quirbalentquirbalent", {TCode::Cheat, TCode::Cheat}},
                      TRecogniserCase{"CodeAfterNoise", "hello world 123 kexlip5", {TCode::Level5}},
                      TRecogniserCase{"CodeTypedTooFar", "kexlip55", {TCode::Level5}}),
    [](const ::testing::TestParamInfo<TRecogniserCase>& Info) { return std::string(Info.param.Name); });

TEST(AccessCodes, CharactersOtherThanLowercaseLettersAndDigitsLeaveTheBufferAlone) {
  TRecorder Recorder;
  Recorder.Type("kex");
  for (int Value = 0; Value < 256; ++Value) {
    const char C = static_cast<char>(Value);
    if ((C >= 'a' && C <= 'z') || (C >= '0' && C <= '9')) continue;
    Recorder.Type(std::string(1, C));
    ASSERT_EQ(Recorder.Codes.TypedCount(), 3) << "character " << Value;
    ASSERT_STREQ(Recorder.Codes.TypedKeys(), "kex") << "character " << Value;
  }
  Recorder.Type("lip5");
  EXPECT_EQ(Recorder.Matches, std::vector<TCode>{TCode::Level5});
}

TEST(AccessCodes, MatchEmptiesTheCountBeforeItsEffectAndKeepsTheText) {
  for (const char* Code : {"kexlip5", "kexlip6", "quirbalent"}) {
    TRecorder Recorder;
    Recorder.Type(Code);
    ASSERT_EQ(Recorder.Matches.size(), 1u) << Code << ": later codes see the matched text and cannot match it";
    EXPECT_EQ(Recorder.CountsDuringEffect, std::vector<int32_t>{0}) << Code;
    EXPECT_EQ(Recorder.Codes.TypedCount(), 0) << Code;
    EXPECT_STREQ(Recorder.Codes.TypedKeys(), Code) << "the text stays in the buffer";
  }
}

TEST(AccessCodes, CharacterThatBreaksEveryPrefixIsDropped) {
  TRecorder Recorder;
  Recorder.Type("kexli");
  EXPECT_EQ(Recorder.Codes.TypedCount(), 5);
  Recorder.Type("q");  // starts the cheat code, but breaks the prefix in the buffer
  EXPECT_EQ(Recorder.Codes.TypedCount(), 0);
  Recorder.Type("uirbalent");
  EXPECT_TRUE(Recorder.Matches.empty());
}

TEST(AccessCodes, PrefixSharedByTwoCodesKeepsCollecting) {
  TRecorder Recorder;
  Recorder.Type("kexlip");
  EXPECT_EQ(Recorder.Codes.TypedCount(), 6);
  EXPECT_STREQ(Recorder.Codes.TypedKeys(), "kexlip");
  Recorder.Type("6");
  EXPECT_EQ(Recorder.Matches, std::vector<TCode>{TCode::Level6});
}

TEST(AccessCodes, BufferNeverHoldsMoreThanTheLongestCodeAndStaysTerminated) {
  TRecorder Recorder;
  // Near misses of every length, then a long random stream over the accepted characters and others.
  std::string Stream;
  for (const std::string Code : {"kexlip5", "kexlip6", "quirbalent"})
    for (size_t Length = 1; Length < Code.size(); ++Length) Stream += Code.substr(0, Length) + "z";
  std::mt19937 Random(1997);
  const std::string Alphabet = "kexlipquirbalent0123456789zZ \x1b";
  std::uniform_int_distribution<size_t> Pick(0, Alphabet.size() - 1);
  for (int I = 0; I < 20000; ++I) Stream += Alphabet[Pick(Random)];

  for (char C : Stream) {
    Recorder.Type(std::string(1, C));
    ASSERT_GE(Recorder.Codes.TypedCount(), 0);
    ASSERT_LE(Recorder.Codes.TypedCount(), 10);
    ASSERT_LT(::strnlen(Recorder.Codes.TypedKeys(), 256), 256u);
  }
}

// The codes typed on the running menu.
struct TTypedCase {
  const char* Name;
  std::string Typed;
  std::optional<int32_t> EndsWith;  // the run ends with this result; otherwise it goes on
  bool CheatWritten;
};

class MainFormAccessCode : public TMenuTest, public ::testing::WithParamInterface<TTypedCase> {};
using MainFormTyping = TMenuTest;

TEST_P(MainFormAccessCode, TypedSequenceHasItsEffect) {
  const TTypedCase& Case = GetParam();
  SetProfileValue(ActionKey, "4");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] { Menu.Headless().Type(Case.Typed); });
  bool LookedAfterTyping = false;
  Menu.AtIdle([&] {
    LookedAfterTyping = true;
    EXPECT_EQ(Form.CheatBox->Visible(), Case.CheatWritten);
    EXPECT_EQ(ProfileValue(QuirBalentKey), Case.CheatWritten ? std::optional<std::string>("1") : std::nullopt);
    EXPECT_EQ(ProfileValue(ActionKey), "4") << "the result is written only at the end";
  });
  Menu.Run();
  EXPECT_EQ(LookedAfterTyping, !Case.EndsWith.has_value()) << "whether the menu was still running after the typing";
  EXPECT_EQ(Menu.ReachedEndOfScript(), !Case.EndsWith.has_value());
  const int32_t Result = Case.EndsWith.value_or(0);
  EXPECT_EQ(Form.MenuAction(), Result);
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), std::to_string(Result));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, MainFormAccessCode,
    ::testing::Values(TTypedCase{"Level5", "kexlip5", 5, false}, TTypedCase{"Level6", "kexlip6", 6, false},
                      TTypedCase{"Cheat", "quirbalent", std::nullopt, true},
                      TTypedCase{"ExtraUppercaseLetter", "kexLlip5", 5, false},
                      TTypedCase{"ExtraSpace", "kex lip6", 6, false},
                      TTypedCase{"OwnLetterInUppercase", "kexLip5", std::nullopt, false},
                      TTypedCase{"RestartWithoutABreak", "kexkexlip5", std::nullopt, false},
                      TTypedCase{"RestartAfterABreak", "kexzkexlip5", 5, false},
                      TTypedCase{"EnterAndBackspaceIgnored", std::string("kexli") + Backspace + Enter + "p5", 5, false},
                      TTypedCase{"CheatWithEnterAndBackspace", std::string("quir") + Enter + "bal" + Backspace + "ent",
                                 std::nullopt, true},
                      TTypedCase{"CheatThenLevel", "quirbalentkexlip6", 6, true}),
    [](const ::testing::TestParamInfo<TTypedCase>& Info) { return std::string(Info.param.Name); });

TEST_F(MainFormTyping, CheatCodeTypedAgainWritesAgainAndTheNoticeStays) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] { Menu.Headless().Type("quirbalent"); });
  Menu.AtIdle([&] {
    EXPECT_TRUE(Form.CheatBox->Visible());
    EXPECT_EQ(ProfileValue(QuirBalentKey), "1");
    SetProfileValue(QuirBalentKey, "0");
    Menu.Headless().Type("quirbalent");
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(Form.CheatBox->Visible());
    EXPECT_EQ(ProfileValue(QuirBalentKey), "1");
    EXPECT_EQ(Menu.Headless().Pixel(544, 426), Black) << "the notice is on the screen";
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

TEST_F(MainFormTyping, EscapeOnTheCreditsPageDoesNotBreakACode) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  Menu.AtIdle([&] {
    ClickCentreOf(*Form.CreditsButton, Menu.Headless());
    Menu.Headless().Type(std::string("kex") + Escape + "lip5");
  });
  Menu.Run();
  EXPECT_FALSE(Menu.ReachedEndOfScript());
  EXPECT_TRUE(Form.MatContainer1->Visible()) << "Escape went back to the menu";
  EXPECT_EQ(Form.MenuAction(), 5);
}

}  // namespace
}  // namespace MenuTest
