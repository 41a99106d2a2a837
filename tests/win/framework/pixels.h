#pragma once
// A 32-bit DIB section selected into a memory DC: drawing targets whose pixels
// tests read back.
#include <cstdint>
#include <optional>

#include "framework/handles.h"

namespace test {

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    selection_.emplace(dc_.get(), bitmap_.get());
    Fill(fill);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    RECT all{0, 0, width_, height_};
    FillRect(dc_.get(), &all, brush.get());
  }
  // Reads the DIB directly: GetPixel would also do, but this ignores the DC's state.
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t value = bits_[y * width_ + x];
    return RGB((value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff);
  }
  int Count(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (Pixel(x, y) == colour) ++count;
    return count;
  }

 private:
  int width_;
  int height_;
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  std::uint32_t* bits_ = nullptr;
  std::optional<SelectionGuard> selection_;
};

}  // namespace test
