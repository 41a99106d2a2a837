#pragma once
// A rectangle in pixels (right and bottom exclusive) for the arithmetic of
// layout and placement, which is tested on the host where RECT does not exist.
namespace geometry {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
  bool operator!=(const Rect& other) const { return !(*this == other); }
};

}  // namespace geometry
