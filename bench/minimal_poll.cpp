// The reference for idle cost: a minimal SDL program with the menu's own window (full-screen at
// 0,0 on a shared-memory framebuffer, no GL) and one black frame, that then polls for events
// with a 1 ms sleep between polls, as many game menus do, until Escape or a quit request.
#include <SDL.h>

#include <cstdio>

namespace {

bool Ends(const SDL_Event& Event) {
  if (Event.type == SDL_QUIT) return true;
  if (Event.type == SDL_WINDOWEVENT && Event.window.event == SDL_WINDOWEVENT_CLOSE) return true;
  return Event.type == SDL_KEYDOWN && Event.key.keysym.sym == SDLK_ESCAPE;
}

}  // namespace

int main() {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "bench_minimal_poll: cannot open the display: %s\n", SDL_GetError());
    return 1;
  }
  SDL_DisplayMode Desktop{};
  SDL_GetDesktopDisplayMode(0, &Desktop);
  SDL_Window* Window = SDL_CreateWindow("minimal", 0, 0, Desktop.w, Desktop.h, SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_Surface* Surface = Window ? SDL_GetWindowSurface(Window) : nullptr;
  if (!Surface) {
    std::fprintf(stderr, "bench_minimal_poll: cannot open the window: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  SDL_FillRect(Surface, nullptr, SDL_MapRGB(Surface->format, 0, 0, 0));
  SDL_UpdateWindowSurface(Window);

  bool Running = true;
  while (Running) {
    SDL_Event Event;
    while (Running && SDL_PollEvent(&Event)) Running = !Ends(Event);
    if (Running) SDL_Delay(1);
  }
  SDL_DestroyWindow(Window);
  SDL_Quit();
  return 0;
}
