#include "e2e/BmpWriter.h"

#include <cstdint>

namespace {

void AppendLittleEndian(std::string& Bytes, uint32_t Value, int Size) {
  for (int Index = 0; Index < Size; ++Index) Bytes.push_back(static_cast<char>((Value >> (8 * Index)) & 0xFF));
}

}  // namespace

std::string BmpFromPixels(int Width, int Height, const std::function<TRgb(int X, int Y)>& PixelAt) {
  constexpr uint32_t HeadersSize = 14 + 40;
  const uint32_t RowSize = (static_cast<uint32_t>(Width) * 3 + 3) / 4 * 4;  // rows pad to 4 bytes
  const uint32_t PixelsSize = RowSize * static_cast<uint32_t>(Height);
  std::string Bytes;
  Bytes.reserve(HeadersSize + PixelsSize);
  // File header.
  Bytes += "BM";
  AppendLittleEndian(Bytes, HeadersSize + PixelsSize, 4);
  AppendLittleEndian(Bytes, 0, 4);
  AppendLittleEndian(Bytes, HeadersSize, 4);
  // Info header: a positive height stores the rows from the bottom up.
  AppendLittleEndian(Bytes, 40, 4);
  AppendLittleEndian(Bytes, static_cast<uint32_t>(Width), 4);
  AppendLittleEndian(Bytes, static_cast<uint32_t>(Height), 4);
  AppendLittleEndian(Bytes, 1, 2);   // planes
  AppendLittleEndian(Bytes, 24, 2);  // bits per pixel
  AppendLittleEndian(Bytes, 0, 4);   // no compression
  AppendLittleEndian(Bytes, PixelsSize, 4);
  AppendLittleEndian(Bytes, 3780, 4);  // 96 pixels per inch
  AppendLittleEndian(Bytes, 3780, 4);
  AppendLittleEndian(Bytes, 0, 4);
  AppendLittleEndian(Bytes, 0, 4);
  for (int Y = Height - 1; Y >= 0; --Y) {
    const size_t RowStart = Bytes.size();
    for (int X = 0; X < Width; ++X) {
      const TRgb Colour = PixelAt(X, Y);
      Bytes.push_back(static_cast<char>(Colour.Blue()));
      Bytes.push_back(static_cast<char>(Colour.Green()));
      Bytes.push_back(static_cast<char>(Colour.Red()));
    }
    Bytes.resize(RowStart + RowSize, '\0');
  }
  return Bytes;
}

std::string SolidBmp(TRgb Colour, int Width, int Height) {
  return BmpFromPixels(Width, Height, [Colour](int, int) { return Colour; });
}
