#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <string>

// A 32-bit top-down DIB selected into a memory DC: the controls draw into
// dc(), the tests read the pixels back.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(0x12, 0x34, 0x56));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  RECT rect() const { return RECT{0, 0, width_, height_}; }
  void Fill(COLORREF colour);
  COLORREF At(int x, int y) const;
  bool SameAs(const Canvas& other) const;

  // Pixels in [left, right) x [top, bottom) that differ from colour.
  int CountOther(const RECT& area, COLORREF colour) const;
  int Count(const RECT& area, COLORREF colour) const;
  // Bounding box of pixels that differ from background; empty when none.
  RECT InkBounds(const RECT& area, COLORREF background) const;
  std::string Describe(const RECT& area) const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// Colour channels within tolerance of each other.
bool Near(COLORREF a, COLORREF b, int tolerance = 2);
