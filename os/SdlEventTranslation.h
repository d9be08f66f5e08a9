#pragma once
// What one SDL event means to the program, as screen input events. Kept apart from the screen
// so that the mapping can be checked without a display.
#include "os/ScreenBackend.h"

#include <SDL2/SDL.h>
#include <deque>

// Appends the input events that Source stands for: none for events the program ignores, one
// Char per byte of typed UTF-8 text. Modifiers is the keyboard's modifier state, used for
// typed text (key events carry their own). Window size changes are left to the screen, which
// must rebuild its back buffer first; they append nothing here.
void TranslateSdlEvent(const SDL_Event& Source, SDL_Keymod Modifiers, std::deque<TInputEvent>& Into);
