#include "controls/image_holder.h"

#include "framework/double_buffer.h"
#include "framework/dpi.h"

namespace WTL_EX {

void RegisterImageHolderClass() {
  // Asked with the instance the class is registered under: a null instance
  // finds only system classes on some systems.
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kImageHolderClassName, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kImageHolderClassName;
  RegisterClassExW(&windowClass);
}

RECT ImageHolderInnerRect(const RECT& client, int dpi) {
  RECT inner = client;
  const int frame = framework::Scale(kImageHolderFrameWidth, dpi);
  InflateRect(&inner, -frame, -frame);
  if (inner.right < inner.left) inner.right = inner.left;
  if (inner.bottom < inner.top) inner.bottom = inner.top;
  return inner;
}

namespace {

// The whole picture into the area, aspect ratio not kept; per-pixel alpha only
// when the picture has it.
void DrawStretched(HDC dc, const RECT& area, const CImage& picture) {
  UniqueMemoryDC source(CreateCompatibleDC(dc));
  if (!source) return;
  SelectionGuard selection(source.get(), picture.GetBitmap());
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, static_cast<BYTE>(picture.HasAlphaChannel() ? AC_SRC_ALPHA : 0)};
  AlphaBlend(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), 0, 0,
             picture.GetWidth(), picture.GetHeight(), blend);
}

}  // namespace

bool LoadPictureFile(CImage& picture, const std::wstring& path) { return SUCCEEDED(picture.Load(path)); }

void PaintImageHolder(HDC target, const RECT& client, HBRUSH background, COLORREF frame, CImage* picture, int dpi) {
  if (client.right <= client.left || client.bottom <= client.top) return;
  DoubleBuffer buffer(target, client);
  HDC dc = buffer.dc();
  {
    UniqueBrush frameBrush(CreateSolidBrush(frame));
    FillRect(dc, &client, frameBrush.get());
  }
  const RECT inner = ImageHolderInnerRect(client, dpi);
  if (!IsRectEmpty(&inner)) {
    FillRect(dc, &inner, background);
    if (picture != nullptr && !picture->IsNull()) DrawStretched(dc, inner, *picture);
  }
  buffer.Flush();
}

}  // namespace WTL_EX
