#include "framework/image.h"

#include <objidl.h>
#include <gdiplus.h>

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

#include <cstring>
#include <memory>
#include <vector>

namespace {

bool PaletteHasTransparency(Gdiplus::Bitmap& bitmap) {
  const INT size = bitmap.GetPaletteSize();
  if (size <= 0) return false;
  std::vector<BYTE> storage(static_cast<size_t>(size));
  auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(storage.data());
  if (bitmap.GetPalette(palette, size) != Gdiplus::Ok) return false;
  if (palette->Flags & Gdiplus::PaletteFlagsHasAlpha) return true;
  for (UINT i = 0; i < palette->Count; ++i)
    if ((palette->Entries[i] >> 24) != 0xFF) return true;
  return false;
}

// A top-down DIB section; bits gets its pixels, rows DWORD-aligned.
UniqueBitmap CreateTopDownDib(int width, int height, int bpp, void*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
  info.bmiHeader.biCompression = BI_RGB;
  bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bits) dib.reset();
  return dib;
}

}  // namespace

HRESULT CImage::Load(const wchar_t* path) {
  Destroy();
  if (!path || !*path) return E_INVALIDARG;
  std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromFile(path, FALSE));
  if (!source || source->GetLastStatus() != Gdiplus::Ok) return E_FAIL;
  const UINT width = source->GetWidth();
  const UINT height = source->GetHeight();
  if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) return E_FAIL;

  const Gdiplus::PixelFormat format = source->GetPixelFormat();
  const bool alpha = Gdiplus::IsAlphaPixelFormat(format) ||
                     ((format & PixelFormatIndexed) && PaletteHasTransparency(*source));
  const int bpp = alpha ? 32 : 24;

  void* bits = nullptr;
  UniqueBitmap dib = CreateTopDownDib(static_cast<int>(width), static_cast<int>(height), bpp, bits);
  if (!dib) return E_OUTOFMEMORY;

  // GDI+ converts straight into the DIB's rows (DWORD-aligned stride).
  Gdiplus::BitmapData data{};
  data.Width = width;
  data.Height = height;
  data.Stride = static_cast<INT>(((width * static_cast<UINT>(bpp) + 31) / 32) * 4);
  data.PixelFormat = alpha ? PixelFormat32bppPARGB : PixelFormat24bppRGB;
  data.Scan0 = bits;
  Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  if (source->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, data.PixelFormat,
                       &data) != Gdiplus::Ok)
    return E_FAIL;
  source->UnlockBits(&data);
  GdiFlush();

  bitmap_ = std::move(dib);
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  bpp_ = bpp;
  hasAlpha_ = alpha;
  return S_OK;
}

bool CImage::CreateScaled(const CImage& source, int width, int height) {
  Destroy();
  if (source.IsNull() || width <= 0 || height <= 0) return false;
  const int bpp = source.hasAlpha_ ? 32 : 24;
  void* bits = nullptr;
  UniqueBitmap dib = CreateTopDownDib(width, height, bpp, bits);
  if (!dib) return false;
  {
    UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
    if (!memory) return false;
    SelectionGuard selection(memory.get(), dib.get());
    // Fully transparent to begin with: blending onto it leaves the source's
    // own premultiplied colours and alpha.
    std::memset(bits, 0, static_cast<size_t>(((width * bpp + 31) / 32) * 4) * static_cast<size_t>(height));
    // With a transparent colour the left-out pixels must stay that colour.
    if (source.transparentColour_ != CLR_INVALID) {
      UniqueBrush key(CreateSolidBrush(source.transparentColour_));
      const RECT all{0, 0, width, height};
      FillRect(memory.get(), &all, key.get());
    }
    if (!source.Draw(memory.get(), RECT{0, 0, width, height})) return false;
    GdiFlush();
  }
  bitmap_ = std::move(dib);
  width_ = width;
  height_ = height;
  bpp_ = bpp;
  hasAlpha_ = source.hasAlpha_;
  transparentColour_ = source.transparentColour_;
  return true;
}

void CImage::Destroy() {
  bitmap_.reset();
  width_ = height_ = bpp_ = 0;
  hasAlpha_ = false;
  transparentColour_ = CLR_INVALID;
}

COLORREF CImage::SetTransparentColor(COLORREF colour) {
  const COLORREF previous = transparentColour_;
  transparentColour_ = colour;
  return previous;
}

bool CImage::Draw(HDC dc, const RECT& destination, const RECT& source) const {
  if (!bitmap_ || !dc) return false;
  UniqueMemoryDC memory(CreateCompatibleDC(dc));
  if (!memory) return false;
  SelectionGuard selection(memory.get(), bitmap_.get());
  const int dx = destination.left, dy = destination.top;
  const int dw = destination.right - destination.left, dh = destination.bottom - destination.top;
  const int sx = source.left, sy = source.top;
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return false;

  if (transparentColour_ != CLR_INVALID)
    return TransparentBlt(dc, dx, dy, dw, dh, memory.get(), sx, sy, sw, sh, transparentColour_) != FALSE;
  if (hasAlpha_) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return AlphaBlend(dc, dx, dy, dw, dh, memory.get(), sx, sy, sw, sh, blend) != FALSE;
  }
  // Shrinking photos with the default mode would AND pixels together and darken them.
  const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
  const BOOL drawn = StretchBlt(dc, dx, dy, dw, dh, memory.get(), sx, sy, sw, sh, SRCCOPY);
  if (previousMode) SetStretchBltMode(dc, previousMode);
  return drawn != FALSE;
}
