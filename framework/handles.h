#pragma once
// Owning wrappers for GDI and USER handles, and the one way to select an
// object into a device context.
#include <atomic>
#include <cstddef>
#include <utility>

#include "base/windows_api.h"
#include <commctrl.h>

namespace handles {

enum class Kind {
  Font,
  Brush,
  Pen,
  Bitmap,
  Region,
  Icon,
  ImageList,
  Menu,
  MemoryDC,
  WindowDC,
  PaintDC,
  Module,
  Window,
  Count
};

namespace detail {
inline std::atomic<long>& Counter(Kind kind) {
  static std::atomic<long> counters[static_cast<std::size_t>(Kind::Count)];
  return counters[static_cast<std::size_t>(kind)];
}
}  // namespace detail

// Live handles owned through this header, per kind. GetGuiResources is not
// meaningful under every Windows implementation, so leak tests count here.
inline long LiveCount(Kind kind) { return detail::Counter(kind).load(); }
inline long LiveCount() {
  long total = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(Kind::Count); ++i)
    total += detail::Counter(static_cast<Kind>(i)).load();
  return total;
}

inline void Acquired(Kind kind) { ++detail::Counter(kind); }
inline void Released(Kind kind) { --detail::Counter(kind); }

}  // namespace handles

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) { reset(handle); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {
    if (handle_) handles::Acquired(Traits::kKind);
  }
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }

  // Takes ownership of handle (if any) and closes the previous one.
  void reset(Handle handle = Handle{}) {
    if (handle == handle_) return;
    Handle old = handle_;
    handle_ = handle;
    if (handle_) handles::Acquired(Traits::kKind);
    if (old) {
      // Cleanup runs on error paths too; it must not hide the error being reported.
      const DWORD error = GetLastError();
      Traits::Close(old);
      handles::Released(Traits::kKind);
      SetLastError(error);
    }
  }

  // Gives up ownership without closing.
  Handle release() {
    Handle old = handle_;
    handle_ = Handle{};
    if (old) handles::Released(Traits::kKind);
    return old;
  }

 private:
  Handle handle_{};
};

namespace handles {

template <class H, Kind K>
struct GdiObjectTraits {
  using Handle = H;
  static constexpr Kind kKind = K;
  static void Close(Handle handle) { DeleteObject(handle); }
};

struct IconTraits {
  using Handle = HICON;
  static constexpr Kind kKind = Kind::Icon;
  static void Close(Handle handle) { DestroyIcon(handle); }
};

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static constexpr Kind kKind = Kind::ImageList;
  static void Close(Handle handle) { ImageList_Destroy(handle); }
};

struct MenuTraits {
  using Handle = HMENU;
  static constexpr Kind kKind = Kind::Menu;
  static void Close(Handle handle) { DestroyMenu(handle); }
};

struct MemoryDCTraits {
  using Handle = HDC;
  static constexpr Kind kKind = Kind::MemoryDC;
  static void Close(Handle handle) { DeleteDC(handle); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static constexpr Kind kKind = Kind::Module;
  static void Close(Handle handle) { FreeLibrary(handle); }
};

struct WindowTraits {
  using Handle = HWND;
  static constexpr Kind kKind = Kind::Window;
  // A child may already be gone with its parent: only a live window is destroyed.
  static void Close(Handle handle) {
    if (IsWindow(handle)) DestroyWindow(handle);
  }
};

}  // namespace handles

using UniqueFont = UniqueHandle<handles::GdiObjectTraits<HFONT, handles::Kind::Font>>;
using UniqueBrush = UniqueHandle<handles::GdiObjectTraits<HBRUSH, handles::Kind::Brush>>;
using UniquePen = UniqueHandle<handles::GdiObjectTraits<HPEN, handles::Kind::Pen>>;
using UniqueBitmap = UniqueHandle<handles::GdiObjectTraits<HBITMAP, handles::Kind::Bitmap>>;
using UniqueRegion = UniqueHandle<handles::GdiObjectTraits<HRGN, handles::Kind::Region>>;
using UniqueIcon = UniqueHandle<handles::IconTraits>;
using UniqueImageList = UniqueHandle<handles::ImageListTraits>;
using UniqueMenu = UniqueHandle<handles::MenuTraits>;
using UniqueMemoryDC = UniqueHandle<handles::MemoryDCTraits>;
using UniqueModule = UniqueHandle<handles::ModuleTraits>;
// A window that no object of ours wraps (a plain child control made by hand).
using UniqueWindow = UniqueHandle<handles::WindowTraits>;

// A window's DC from GetDC (null window: the screen), released on destruction.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {
    if (dc_) handles::Acquired(handles::Kind::WindowDC);
  }
  ~WindowDC() {
    if (!dc_) return;
    const DWORD error = GetLastError();
    ReleaseDC(window_, dc_);
    handles::Released(handles::Kind::WindowDC);
    SetLastError(error);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;  // not owned
  HDC dc_;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), paint_{}, dc_(BeginPaint(window, &paint_)) {
    if (dc_) handles::Acquired(handles::Kind::PaintDC);
  }
  ~PaintDC() {
    if (!dc_) return;
    const DWORD error = GetLastError();
    EndPaint(window_, &paint_);
    handles::Released(handles::Kind::PaintDC);
    SetLastError(error);
  }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;

  HDC get() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;  // not owned
  PAINTSTRUCT paint_;
  HDC dc_;
};

// Selects a font, brush, pen or bitmap and puts the previous one back. Keeps
// the DC with the previous object: a guard that forgot it would restore nothing.
// Regions are not selectable this way (SelectObject answers them with a
// complexity code, not a handle); use SelectClipRgn for them.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc) {
    if (dc_ && object && GetObjectType(object) != OBJ_REGION) {
      HGDIOBJ previous = SelectObject(dc_, object);
      if (previous && previous != HGDI_ERROR) previous_ = previous;
    }
  }
  ~SelectionGuard() { Restore(); }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

  // Puts the previous object back now, e.g. before the selected one is deleted.
  void Restore() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
    previous_ = nullptr;
  }
  bool selected() const { return previous_ != nullptr; }

 private:
  HDC dc_;  // not owned
  HGDIOBJ previous_ = nullptr;
};
