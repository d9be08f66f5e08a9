#include "os/SdlEventTranslation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

SDL_Event KeyDown(SDL_Keycode Key, Uint16 Modifiers = KMOD_NONE) {
  SDL_Event Event{};
  Event.type = SDL_KEYDOWN;
  Event.key.timestamp = 42;
  Event.key.keysym.sym = Key;
  Event.key.keysym.mod = Modifiers;
  return Event;
}

SDL_Event MouseButton(Uint32 Type, Uint8 Button, int X, int Y, Uint32 Time) {
  SDL_Event Event{};
  Event.type = Type;
  Event.button.button = Button;
  Event.button.x = X;
  Event.button.y = Y;
  Event.button.timestamp = Time;
  return Event;
}

SDL_Event WindowEvent(Uint8 What) {
  SDL_Event Event{};
  Event.type = SDL_WINDOWEVENT;
  Event.window.event = What;
  return Event;
}

SDL_Event TextInput(const char* Text) {
  SDL_Event Event{};
  Event.type = SDL_TEXTINPUT;
  std::strncpy(Event.text.text, Text, sizeof(Event.text.text) - 1);
  return Event;
}

std::deque<TInputEvent> Translate(const SDL_Event& Source, SDL_Keymod Modifiers = KMOD_NONE) {
  std::deque<TInputEvent> Events;
  TranslateSdlEvent(Source, Modifiers, Events);
  return Events;
}

struct TKeyCase {
  const char* Name;
  SDL_Keycode Key;
  Uint16 Modifiers;
  std::optional<TInputKind> Kind;  // none: the key is ignored
  char Char;
  bool Shift;
};

class KeyTranslation : public testing::TestWithParam<TKeyCase> {};

TEST_P(KeyTranslation, GivesTheCharacterOrCloseTheProgramExpects) {
  const TKeyCase& Case = GetParam();
  const std::deque<TInputEvent> Events = Translate(KeyDown(Case.Key, Case.Modifiers));
  if (!Case.Kind) {
    EXPECT_TRUE(Events.empty());
    return;
  }
  ASSERT_EQ(Events.size(), 1u);
  EXPECT_EQ(Events[0].Kind, *Case.Kind);
  EXPECT_EQ(Events[0].Time, 42u);
  if (*Case.Kind == TInputKind::Char) {
    EXPECT_EQ(Events[0].Char, Case.Char);
    EXPECT_EQ(Events[0].Shift, Case.Shift);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslation,
    testing::Values(TKeyCase{"Escape", SDLK_ESCAPE, KMOD_NONE, TInputKind::Char, 27, false},
                    TKeyCase{"Return", SDLK_RETURN, KMOD_NONE, TInputKind::Char, 13, false},
                    TKeyCase{"KeypadEnter", SDLK_KP_ENTER, KMOD_NUM, TInputKind::Char, 13, false},
                    TKeyCase{"Backspace", SDLK_BACKSPACE, KMOD_NONE, TInputKind::Char, 8, false},
                    TKeyCase{"Tab", SDLK_TAB, KMOD_NONE, TInputKind::Char, 9, false},
                    TKeyCase{"ShiftTab", SDLK_TAB, KMOD_LSHIFT, TInputKind::Char, 9, true},
                    TKeyCase{"RightShiftTab", SDLK_TAB, KMOD_RSHIFT, TInputKind::Char, 9, true},
                    TKeyCase{"AltF4", SDLK_F4, KMOD_LALT, TInputKind::Close, 0, false},
                    TKeyCase{"RightAltF4", SDLK_F4, KMOD_RALT, TInputKind::Close, 0, false},
                    TKeyCase{"F4Alone", SDLK_F4, KMOD_NONE, std::nullopt, 0, false},
                    // Letters come as text input, not as key presses: no double characters.
                    TKeyCase{"Letter", SDLK_a, KMOD_NONE, std::nullopt, 0, false},
                    TKeyCase{"Delete", SDLK_DELETE, KMOD_NONE, std::nullopt, 0, false}),
    [](const testing::TestParamInfo<TKeyCase>& Info) { return std::string(Info.param.Name); });

TEST(SdlEventTranslation, TypedTextGivesOneCharPerUtf8Byte) {
  const std::deque<TInputEvent> Events = Translate(TextInput("a\xC3\xA9"), KMOD_LSHIFT);
  ASSERT_EQ(Events.size(), 3u);
  const char Expected[] = {'a', '\xC3', '\xA9'};
  for (size_t Index = 0; Index < Events.size(); ++Index) {
    EXPECT_EQ(Events[Index].Kind, TInputKind::Char);
    EXPECT_EQ(Events[Index].Char, Expected[Index]);
    EXPECT_TRUE(Events[Index].Shift);
  }
}

TEST(SdlEventTranslation, MouseButtonsKeepPositionButtonAndTime) {
  struct TCase {
    Uint32 Type;
    Uint8 SdlButton;
    TInputKind Kind;
    TMouseButton Button;
  };
  const TCase Cases[] = {
      {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, TInputKind::MouseDown, TMouseButton::Left},
      {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, TInputKind::MouseUp, TMouseButton::Left},
      {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, TInputKind::MouseDown, TMouseButton::Right},
      {SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, TInputKind::MouseUp, TMouseButton::Middle},
  };
  for (const TCase& Case : Cases) {
    const std::deque<TInputEvent> Events = Translate(MouseButton(Case.Type, Case.SdlButton, 17, 301, 1234));
    ASSERT_EQ(Events.size(), 1u);
    EXPECT_EQ(Events[0].Kind, Case.Kind);
    EXPECT_EQ(Events[0].Button, Case.Button);
    EXPECT_EQ(Events[0].Position, (TPoint{17, 301}));
    EXPECT_EQ(Events[0].Time, 1234u);
  }
}

TEST(SdlEventTranslation, ExtraMouseButtonsAreIgnored) {
  EXPECT_TRUE(Translate(MouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1, 1)).empty());
  EXPECT_TRUE(Translate(MouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_X2, 1, 1, 1)).empty());
}

TEST(SdlEventTranslation, MouseMotionGivesThePosition) {
  SDL_Event Motion{};
  Motion.type = SDL_MOUSEMOTION;
  Motion.motion.x = 639;
  Motion.motion.y = 479;
  const std::deque<TInputEvent> Events = Translate(Motion);
  ASSERT_EQ(Events.size(), 1u);
  EXPECT_EQ(Events[0].Kind, TInputKind::MouseMove);
  EXPECT_EQ(Events[0].Position, (TPoint{639, 479}));
}

TEST(SdlEventTranslation, WindowAndQuitEvents) {
  struct TCase {
    SDL_Event Source;
    std::optional<TInputKind> Kind;
  };
  SDL_Event Quit{};
  Quit.type = SDL_QUIT;
  const TCase Cases[] = {
      {Quit, TInputKind::Close},
      {WindowEvent(SDL_WINDOWEVENT_CLOSE), TInputKind::Close},
      {WindowEvent(SDL_WINDOWEVENT_EXPOSED), TInputKind::Expose},
      // The screen handles size changes itself, after rebuilding its back buffer.
      {WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED), std::nullopt},
      {WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), std::nullopt},
      {WindowEvent(SDL_WINDOWEVENT_ENTER), std::nullopt},
  };
  for (const TCase& Case : Cases) {
    const std::deque<TInputEvent> Events = Translate(Case.Source);
    if (!Case.Kind) {
      EXPECT_TRUE(Events.empty());
      continue;
    }
    ASSERT_EQ(Events.size(), 1u);
    EXPECT_EQ(Events[0].Kind, *Case.Kind);
  }
}

TEST(SdlEventTranslation, KeyReleasesAndOtherEventsAreIgnored) {
  SDL_Event KeyUp = KeyDown(SDLK_ESCAPE);
  KeyUp.type = SDL_KEYUP;
  SDL_Event Wheel{};
  Wheel.type = SDL_MOUSEWHEEL;
  EXPECT_TRUE(Translate(KeyUp).empty());
  EXPECT_TRUE(Translate(Wheel).empty());
}

TEST(SdlEventTranslation, AppendsBehindEventsAlreadyQueued) {
  std::deque<TInputEvent> Events(1);
  Events[0].Kind = TInputKind::Expose;
  TranslateSdlEvent(TextInput("xy"), KMOD_NONE, Events);
  ASSERT_EQ(Events.size(), 3u);
  EXPECT_EQ(Events[0].Kind, TInputKind::Expose);
  EXPECT_EQ(Events[1].Char, 'x');
  EXPECT_EQ(Events[2].Char, 'y');
}

}  // namespace
