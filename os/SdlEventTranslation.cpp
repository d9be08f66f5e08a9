#include "os/SdlEventTranslation.h"

#include <optional>

namespace {

std::optional<TMouseButton> MouseButtonOf(Uint8 Button) {
  switch (Button) {
    case SDL_BUTTON_LEFT: return TMouseButton::Left;
    case SDL_BUTTON_RIGHT: return TMouseButton::Right;
    case SDL_BUTTON_MIDDLE: return TMouseButton::Middle;
    default: return std::nullopt;
  }
}

// The keys that arrive as characters although text input does not deliver them.
std::optional<char> ControlCharOf(SDL_Keycode Key) {
  switch (Key) {
    case SDLK_ESCAPE: return '\x1b';
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return '\r';
    case SDLK_BACKSPACE: return '\b';
    case SDLK_TAB: return '\t';
    default: return std::nullopt;
  }
}

TInputEvent Make(TInputKind Kind, Uint32 Time) {
  TInputEvent Event;
  Event.Kind = Kind;
  Event.Time = Time;
  return Event;
}

void TranslateMouseButton(const SDL_MouseButtonEvent& Source, std::deque<TInputEvent>& Into) {
  const std::optional<TMouseButton> Button = MouseButtonOf(Source.button);
  if (!Button) return;
  TInputEvent Event = Make(Source.type == SDL_MOUSEBUTTONDOWN ? TInputKind::MouseDown : TInputKind::MouseUp, Source.timestamp);
  Event.Position = {Source.x, Source.y};
  Event.Button = *Button;
  Into.push_back(Event);
}

void TranslateKeyDown(const SDL_KeyboardEvent& Source, std::deque<TInputEvent>& Into) {
  const SDL_Keycode Key = Source.keysym.sym;
  const Uint16 Modifiers = Source.keysym.mod;
  // Without a window manager nobody else turns Alt+F4 into a close request.
  if (Key == SDLK_F4 && (Modifiers & KMOD_ALT) != 0) {
    Into.push_back(Make(TInputKind::Close, Source.timestamp));
    return;
  }
  const std::optional<char> Char = ControlCharOf(Key);
  if (!Char) return;
  TInputEvent Event = Make(TInputKind::Char, Source.timestamp);
  Event.Char = *Char;
  Event.Shift = (Modifiers & KMOD_SHIFT) != 0;
  Into.push_back(Event);
}

void TranslateText(const SDL_TextInputEvent& Source, SDL_Keymod Modifiers, std::deque<TInputEvent>& Into) {
  for (const char* Byte = Source.text; *Byte != '\0'; ++Byte) {
    TInputEvent Event = Make(TInputKind::Char, Source.timestamp);
    Event.Char = *Byte;
    Event.Shift = (Modifiers & KMOD_SHIFT) != 0;
    Into.push_back(Event);
  }
}

void TranslateWindowEvent(const SDL_WindowEvent& Source, std::deque<TInputEvent>& Into) {
  switch (Source.event) {
    case SDL_WINDOWEVENT_CLOSE: Into.push_back(Make(TInputKind::Close, Source.timestamp)); break;
    case SDL_WINDOWEVENT_EXPOSED: Into.push_back(Make(TInputKind::Expose, Source.timestamp)); break;
    default: break;
  }
}

}  // namespace

void TranslateSdlEvent(const SDL_Event& Source, SDL_Keymod Modifiers, std::deque<TInputEvent>& Into) {
  switch (Source.type) {
    case SDL_MOUSEMOTION: {
      TInputEvent Event = Make(TInputKind::MouseMove, Source.motion.timestamp);
      Event.Position = {Source.motion.x, Source.motion.y};
      Into.push_back(Event);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateMouseButton(Source.button, Into); break;
    case SDL_KEYDOWN: TranslateKeyDown(Source.key, Into); break;
    case SDL_TEXTINPUT: TranslateText(Source.text, Modifiers, Into); break;
    case SDL_WINDOWEVENT: TranslateWindowEvent(Source.window, Into); break;
    case SDL_QUIT: Into.push_back(Make(TInputKind::Close, Source.quit.timestamp)); break;
    default: break;
  }
}
