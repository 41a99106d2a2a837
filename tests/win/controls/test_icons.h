#pragma once
#include "base/windows_api.h"

#include "framework/handles.h"

// A fully opaque square icon of one colour.
inline UniqueIcon SolidIcon(COLORREF colour, int size = 16) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap colourBits(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<DWORD*>(bits);
  const DWORD pixel = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  for (int i = 0; i < size * size; ++i) pixels[i] = pixel;
  UniqueBitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, mask.get());
    PatBlt(dc, 0, 0, size, size, BLACKNESS);  // black mask: every pixel opaque
    SelectObject(dc, previous);
    DeleteDC(dc);
  }
  ICONINFO icon{};
  icon.fIcon = TRUE;
  icon.hbmColor = colourBits.get();
  icon.hbmMask = mask.get();
  return UniqueIcon(CreateIconIndirect(&icon));
}
