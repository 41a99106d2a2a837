#include "controls/image_holder.h"

#include "framework/double_buffer.h"

namespace WTL_EX {

void RegisterImageHolderClass() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(nullptr, kImageHolderClassName, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kImageHolderClassName;
  RegisterClassExW(&windowClass);
}

RECT ImageHolderInnerRect(const RECT& client) {
  RECT inner = client;
  InflateRect(&inner, -kImageHolderFrameWidth, -kImageHolderFrameWidth);
  if (inner.right < inner.left) inner.right = inner.left;
  if (inner.bottom < inner.top) inner.bottom = inner.top;
  return inner;
}

bool LoadPictureFile(CImage& picture, const std::wstring& path) { return SUCCEEDED(picture.Load(path.c_str())); }

void PaintImageHolder(HDC target, const RECT& client, HBRUSH background, COLORREF frame, CImage* picture) {
  if (client.right <= client.left || client.bottom <= client.top) return;
  DoubleBuffer buffer(target, client);
  HDC dc = buffer.dc();
  {
    UniqueBrush frameBrush(CreateSolidBrush(frame));
    FillRect(dc, &client, frameBrush.get());
  }
  const RECT inner = ImageHolderInnerRect(client);
  if (!IsRectEmpty(&inner)) {
    FillRect(dc, &inner, background);
    if (picture != nullptr && !picture->IsNull()) {
      const RECT source{0, 0, picture->GetWidth(), picture->GetHeight()};
      picture->Draw(dc, inner, source);
    }
  }
  buffer.Flush();
}

}  // namespace WTL_EX
