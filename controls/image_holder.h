#pragma once
#include "base/windows_api.h"

#include <memory>
#include <string>

#include "framework/crackers.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "framework/image.h"
#include "framework/window.h"

namespace WTL_EX {

constexpr wchar_t kImageHolderClassName[] = L"WTL_EX::ImageHolderCtrl";
constexpr COLORREF kImageHolderFrame = RGB(0x88, 0x88, 0x88);
constexpr COLORREF kImageHolderBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr int kImageHolderFrameWidth = 2;

// Registers the window class that dialog templates name, once per process.
void RegisterImageHolderClass();

// The area inside the frame (its width given at 96 dots per inch, scaled to
// dpi); empty when the control is too small for one.
RECT ImageHolderInnerRect(const RECT& client, int dpi = 96);

// Loads a PNG, JPEG, BMP or GIF file through GDI+.
bool LoadPictureFile(CImage& picture, const std::wstring& path);

// Paints the frame, the background and the picture (stretched to the inner
// area, aspect ratio not kept) into target, double-buffered.
void PaintImageHolder(HDC target, const RECT& client, HBRUSH background, COLORREF frame, CImage* picture, int dpi = 96);

// The picture well of the contact and group dialogs: loads and paints one
// picture file and remembers its path. No input behaviour of its own.
template <class T, class TBase = CWindow>
class ImageHolderCtrlImpl : public CWindowImpl<T, TBase> {
 public:
  // Registering here means the class exists before a dialog template that
  // names it is created.
  ImageHolderCtrlImpl() : backgroundBrush_(CreateSolidBrush(background_)) { RegisterImageHolderClass(); }

  // Takes over the control a dialog created from its template; an object that
  // already has a window keeps it.
  bool Attach(HWND control) {
    if (control == nullptr || this->m_hWnd != nullptr) return false;
    return this->SubclassWindow(control) != FALSE;
  }

  // Shows the picture file at path. A missing file leaves the path as it was;
  // a file that does not load as a picture is remembered but shows nothing.
  bool SetImagePath(const std::wstring& path) {
    picture_.reset();
    bool loaded = false;
    if (!path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      path_ = path;
      auto picture = std::make_unique<CImage>();
      loaded = LoadPictureFile(*picture, path);
      if (loaded) picture_ = std::move(picture);
    }
    // Repaint whatever happened, so the well never shows a picture it no longer holds.
    if (this->m_hWnd != nullptr && IsWindow(this->m_hWnd)) InvalidateRect(this->m_hWnd, nullptr, TRUE);
    return loaded;
  }

  const std::wstring& ImagePath() const { return path_; }
  bool HasPicture() const { return picture_ != nullptr; }

  // Paints the whole client area into dc (what WM_PAINT shows).
  void DrawTo(HDC dc) {
    RECT client{};
    GetClientRect(this->m_hWnd, &client);
    PaintImageHolder(dc, client, backgroundBrush_.get(), frame_, picture_.get(), framework::DpiForWindow(this->m_hWnd));
  }

  BEGIN_MSG_MAP(ImageHolderCtrlImpl)
    MSG_WM_PAINT(OnPaint)
  END_MSG_MAP()

 protected:
  void OnPaint(HDC) {
    PaintDC paint(this->m_hWnd);
    DrawTo(paint.get());
  }

 private:
  std::unique_ptr<CImage> picture_;
  std::wstring path_;
  COLORREF background_ = kImageHolderBackground;
  UniqueBrush backgroundBrush_;
  COLORREF frame_ = kImageHolderFrame;
};

class ImageHolderCtrl : public ImageHolderCtrlImpl<ImageHolderCtrl> {};

}  // namespace WTL_EX
