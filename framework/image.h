#pragma once
// Pictures loaded through GDI+ into a DIB section and drawn with GDI.
#include <string>

#include "framework/handles.h"

// GDI+ for the life of the object (the program's entry point, test runners).
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

// A picture file (PNG, JPEG, BMP, GIF...) held as a top-down DIB section.
// Pictures with an alpha channel (or a transparent palette entry) are kept as
// premultiplied 32-bit pixels, the form AlphaBlend expects; others as 24-bit.
class CImage {
 public:
  CImage() = default;
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // Replaces the picture; on failure the object is empty. Needs GDI+ started.
  HRESULT Load(const wchar_t* path);
  HRESULT Load(const std::wstring& path) { return Load(path.c_str()); }
  void Destroy();
  // Replaces the picture with source drawn at width x height the way Draw
  // would draw it there, so that drawing the copy 1:1 gives the same pixels.
  bool CreateScaled(const CImage& source, int width, int height);

  bool IsNull() const { return !bitmap_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetBPP() const { return bpp_; }
  bool HasAlphaChannel() const { return hasAlpha_; }
  HBITMAP GetBitmap() const { return bitmap_.get(); }  // still owned by the image
  operator HBITMAP() const { return bitmap_.get(); }

  // Pixels of this colour are left out when drawing (CLR_INVALID: none).
  // Returns the previous colour.
  COLORREF SetTransparentColor(COLORREF colour);
  COLORREF GetTransparentColor() const { return transparentColour_; }

  // Draws the source part stretched into the destination: TransparentBlt with
  // a transparent colour, else AlphaBlend with an alpha channel, else StretchBlt.
  bool Draw(HDC dc, const RECT& destination, const RECT& source) const;
  bool Draw(HDC dc, const RECT& destination) const { return Draw(dc, destination, RECT{0, 0, width_, height_}); }
  bool Draw(HDC dc, int x, int y) const { return Draw(dc, RECT{x, y, x + width_, y + height_}); }

 private:
  UniqueBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 0;
  bool hasAlpha_ = false;
  COLORREF transparentColour_ = CLR_INVALID;
};
