#include "e2e/ScreenImage.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace {

// Reads the header's next number, skipping blanks and comment lines.
int NextHeaderNumber(std::string_view Bytes, size_t& Position) {
  while (Position < Bytes.size()) {
    const char Character = Bytes[Position];
    if (Character == '#') {
      while (Position < Bytes.size() && Bytes[Position] != '\n') ++Position;
    } else if (std::isspace(static_cast<unsigned char>(Character))) {
      ++Position;
    } else {
      break;
    }
  }
  long Number = 0;
  const size_t Start = Position;
  while (Position < Bytes.size() && std::isdigit(static_cast<unsigned char>(Bytes[Position])) && Number < 1000000)
    Number = Number * 10 + (Bytes[Position++] - '0');
  if (Position == Start) throw std::runtime_error("screen picture: bad PPM header");
  return static_cast<int>(Number);
}

}  // namespace

TScreenImage TScreenImage::FromPpm(std::string_view Bytes) {
  if (Bytes.substr(0, 2) != "P6") throw std::runtime_error("screen picture: not a binary PPM");
  size_t Position = 2;
  TScreenImage Image;
  Image.FWidth = NextHeaderNumber(Bytes, Position);
  Image.FHeight = NextHeaderNumber(Bytes, Position);
  if (NextHeaderNumber(Bytes, Position) != 255) throw std::runtime_error("screen picture: not 8 bits a channel");
  ++Position;  // the single blank that ends the header
  const size_t Size = static_cast<size_t>(Image.FWidth) * static_cast<size_t>(Image.FHeight) * 3;
  if (Bytes.size() < Position + Size)
    throw std::runtime_error("screen picture: " + std::to_string(Bytes.size() - Position) + " bytes of pixels, " +
                             std::to_string(Size) + " expected");
  Image.FRgb.assign(Bytes.begin() + static_cast<std::ptrdiff_t>(Position),
                    Bytes.begin() + static_cast<std::ptrdiff_t>(Position + Size));
  return Image;
}

TRgb TScreenImage::Pixel(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
    throw std::out_of_range("pixel " + std::to_string(X) + "," + std::to_string(Y) + " is off the " +
                            std::to_string(FWidth) + "x" + std::to_string(FHeight) + " screen");
  const size_t Offset = (static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X)) * 3;
  return TRgb{(uint32_t{FRgb[Offset]} << 16) | (uint32_t{FRgb[Offset + 1]} << 8) | FRgb[Offset + 2]};
}
