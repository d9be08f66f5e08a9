#pragma once
// Limits on the bitmap files the program reads; anything larger is refused before it is read or
// allocated.
#include <cstddef>
#include <cstdint>

// Largest width and height of a picture.
inline constexpr std::int32_t MaxBitmapSide = 16384;

// Largest file: far above any picture the program shows, and small enough that reading a huge
// file cannot take all memory.
inline constexpr std::size_t MaxBitmapFileSize = std::size_t{256} << 20;
