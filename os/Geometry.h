#pragma once
// Points and rectangles; right and bottom are exclusive.
#include <algorithm>
#include <cstdint>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
  bool Contains(const TRect& R) const {
    return R.Left >= Left && R.Top >= Top && R.Right <= Right && R.Bottom <= Bottom;
  }
  bool Intersects(const TRect& R) const { return !Intersection(R).IsEmpty(); }
  TRect Intersection(const TRect& R) const {
    return {std::max(Left, R.Left), std::max(Top, R.Top), std::min(Right, R.Right), std::min(Bottom, R.Bottom)};
  }
  TRect Union(const TRect& R) const {
    if (IsEmpty()) return R;
    if (R.IsEmpty()) return *this;
    return {std::min(Left, R.Left), std::min(Top, R.Top), std::max(Right, R.Right), std::max(Bottom, R.Bottom)};
  }
  TRect Offset(int32_t DX, int32_t DY) const { return {Left + DX, Top + DY, Right + DX, Bottom + DY}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Bounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  return {Left, Top, Left + Width, Top + Height};
}
