#pragma once
// Declarative layout for resizable dialogs: each listed control keeps its
// distance to the right/bottom edge (MOVE) or grows with the window (SIZE).
#include <vector>

#include "framework/window.h"

#define DLSZ_SIZE_X 0x00000001
#define DLSZ_SIZE_Y 0x00000002
#define DLSZ_MOVE_X 0x00000004
#define DLSZ_MOVE_Y 0x00000008
#define DLSZ_REPAINT 0x00000010

struct DlgResizeEntry {
  int id;
  DWORD flags;
};

// The three macros open and close one table between them.
// clang-format off
#define BEGIN_DLGRESIZE_MAP(thisClass)               \
  static const DlgResizeEntry* GetDlgResizeMap() {   \
    static const DlgResizeEntry map[] = {
#define DLGRESIZE_CONTROL(id, flags) {(id), (flags)},
#define END_DLGRESIZE_MAP() {-1, 0}}; return map; }
// clang-format on

namespace framework {
// Control id of the size grip the resize mix-in adds.
constexpr int kSizeGripId = 0xE801;

// Where a control goes when the client area changed by (dx, dy) since layout began.
RECT ResizedRect(const RECT& initial, DWORD flags, int dx, int dy);
}  // namespace framework

template <class T>
class CDialogResize {
 public:
  BEGIN_MSG_MAP(CDialogResize<T>)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  END_MSG_MAP()

  // Call from WM_INITDIALOG, once the controls exist at their template places.
  void DlgResize_Init(bool addGripper = true, bool useMinTrackSize = true, DWORD forceStyle = WS_CLIPCHILDREN) {
    T* self = static_cast<T*>(this);
    HWND window = self->m_hWnd;
    CWindow styled(window);
    const bool child = (styled.GetStyle() & WS_CHILD) != 0;
    styled.ModifyStyle(0, forceStyle);
    // A sizing frame otherwise shows an empty icon in the caption.
    if (!child) styled.ModifyStyleEx(0, WS_EX_DLGMODALFRAME);

    records_.clear();
    RECT client{};
    GetClientRect(window, &client);
    clientSize_ = SIZE{client.right, client.bottom};
    minTrackSize_ = POINT{-1, -1};
    if (useMinTrackSize) {
      if (child) {
        minTrackSize_ = POINT{client.right, client.bottom};
      } else {
        RECT frame{};
        GetWindowRect(window, &frame);
        minTrackSize_ = POINT{frame.right - frame.left, frame.bottom - frame.top};
      }
    }

    if (addGripper && !gripper_) {
      const int size = GetSystemMetrics(SM_CXVSCROLL);
      gripper_ = CreateWindowExW(
          0, L"SCROLLBAR", nullptr,
          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
          client.right - size, client.bottom - size, size, size, window,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(framework::kSizeGripId)), GetModuleHandleW(nullptr), nullptr);
    }
    if (gripper_) Record(gripper_, framework::kSizeGripId, DLSZ_MOVE_X | DLSZ_MOVE_Y);
    for (const DlgResizeEntry* entry = T::GetDlgResizeMap(); entry->id != -1; ++entry) {
      HWND control = GetDlgItem(window, entry->id);
      if (control) Record(control, entry->id, entry->flags);
    }
  }

  void DlgResize_UpdateLayout(int width, int height) {
    HWND window = static_cast<T*>(this)->m_hWnd;
    const int dx = width - clientSize_.cx;
    const int dy = height - clientSize_.cy;
    HDWP positions = BeginDeferWindowPos(static_cast<int>(records_.size()));
    for (const ControlRecord& record : records_) {
      HWND control = GetDlgItem(window, record.id);
      if (!control) continue;
      const RECT rect = framework::ResizedRect(record.initial, record.flags, dx, dy);
      const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | ((record.flags & DLSZ_REPAINT) ? 0 : SWP_NOCOPYBITS);
      if (positions)
        positions = DeferWindowPos(positions, control, nullptr, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, flags);
      else
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags);
    }
    if (positions) EndDeferWindowPos(positions);
    for (const ControlRecord& record : records_)
      if (record.flags & DLSZ_REPAINT) InvalidateRect(GetDlgItem(window, record.id), nullptr, TRUE);
  }

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (gripper_) {
      if (wParam == SIZE_MAXIMIZED)
        ShowWindow(gripper_, SW_HIDE);
      else if (wParam == SIZE_RESTORED)
        ShowWindow(gripper_, SW_SHOW);
    }
    if (wParam != SIZE_MINIMIZED)
      DlgResize_UpdateLayout(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
  }

  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    if (minTrackSize_.x == -1 || !lParam) {
      handled = FALSE;
      return 0;
    }
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = minTrackSize_;
    return 0;
  }

  HWND DlgResize_Gripper() const { return gripper_; }  // not owned: a child window
  SIZE DlgResize_InitialClientSize() const { return clientSize_; }
  POINT DlgResize_MinTrackSize() const { return minTrackSize_; }

 private:
  struct ControlRecord {
    int id;
    DWORD flags;
    RECT initial;
  };

  void Record(HWND control, int id, DWORD flags) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, static_cast<T*>(this)->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    records_.push_back(ControlRecord{id, flags, rect});
  }

  std::vector<ControlRecord> records_;
  SIZE clientSize_{0, 0};
  POINT minTrackSize_{-1, -1};
  HWND gripper_ = nullptr;
};
