// Draws the four demo pictures of the menu into the folder given as the only argument.
#include <SDL2/SDL.h>

#include <cstdio>
#include <string>

namespace {

bool SavePlain(const std::string& Path, Uint8 R, Uint8 G, Uint8 B) {
  SDL_Surface* Surface = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 24, SDL_PIXELFORMAT_BGR24);
  if (!Surface) return false;
  SDL_FillRect(Surface, nullptr, SDL_MapRGB(Surface->format, R, G, B));
  const bool Saved = SDL_SaveBMP(Surface, Path.c_str()) == 0;
  SDL_FreeSurface(Surface);
  return Saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_pictures FOLDER\n");
    return 2;
  }
  const std::string Folder = argv[1];
  const bool Saved = SavePlain(Folder + "/menu1.bmp", 0, 0, 128) && SavePlain(Folder + "/menu2.bmp", 0, 0, 255) &&
                     SavePlain(Folder + "/credits1.bmp", 128, 0, 0) &&
                     SavePlain(Folder + "/credits2.bmp", 255, 0, 0);
  if (!Saved) {
    std::fprintf(stderr, "demo_pictures: cannot write the pictures: %s\n", SDL_GetError());
    return 1;
  }
  return 0;
}
