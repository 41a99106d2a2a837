#pragma once
// Off-screen drawing for owner-drawn things: draw into dc() at (0, 0) for the
// rectangle's size, then Flush() copies the result to the rectangle at once,
// so nothing flickers.
#include <algorithm>

#include "framework/handles.h"

class DoubleBuffer {
 public:
  DoubleBuffer(HDC target, const RECT& rect)
      : target_(target),
        rect_(rect),
        width_(std::max<LONG>(1, rect.right - rect.left)),
        height_(std::max<LONG>(1, rect.bottom - rect.top)),
        dc_(CreateCompatibleDC(target)),
        bitmap_(CreateCompatibleBitmap(target, width_, height_)),
        selection_(dc_.get(), bitmap_.get()) {}
  DoubleBuffer(const DoubleBuffer&) = delete;
  DoubleBuffer& operator=(const DoubleBuffer&) = delete;

  // False when the memory DC or bitmap could not be made; drawing then goes nowhere.
  bool ok() const { return dc_ && bitmap_ && selection_.selected(); }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  RECT local() const { return RECT{0, 0, width_, height_}; }

  bool Flush() const {
    if (!ok()) return false;
    return BitBlt(target_, rect_.left, rect_.top, width_, height_, dc_.get(), 0, 0, SRCCOPY) != FALSE;
  }

 private:
  HDC target_;  // not owned
  RECT rect_;
  LONG width_;
  LONG height_;
  // Acquisition order: destruction deselects the bitmap before it and the DC go.
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  SelectionGuard selection_;
};
