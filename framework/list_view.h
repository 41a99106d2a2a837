#pragma once
// Thin wrapper of a list-view control with the helpers the lists use.
#include <string>

#include "framework/window.h"

class CListViewCtrl : public CWindow {
 public:
  CListViewCtrl(HWND window = nullptr) : CWindow(window) {}
  static const wchar_t* GetWndClassName() { return WC_LISTVIEWW; }

  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  int GetColumnCount() const {
    HWND header = GetHeader();
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  }
  HWND GetHeader() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }

  int InsertColumn(int index, const wchar_t* text, int format = LVCFMT_LEFT, int width = -1) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | (width >= 0 ? LVCF_WIDTH : 0);
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(text);
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
  }
  BOOL DeleteColumn(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, index)); }
  BOOL SetColumnWidth(int index, int width) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)));
  }

  int InsertItem(const LVITEMW& item) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  int InsertItem(int index, const wchar_t* text, LPARAM data = 0) {
    LVITEMW item{};
    item.mask = LVIF_PARAM | (text ? LVIF_TEXT : 0);
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.lParam = data;
    return InsertItem(item);
  }
  BOOL DeleteItem(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, index)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

  DWORD_PTR GetItemData(int index) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<DWORD_PTR>(item.lParam) : 0;
  }
  BOOL SetItemData(int index, DWORD_PTR data) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  std::wstring GetItemText(int index, int subItem) const {
    std::wstring text(260, L'\0');
    for (;;) {
      LVITEMW item{};
      item.iSubItem = subItem;
      item.pszText = &text[0];
      item.cchTextMax = static_cast<int>(text.size());
      const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
      if (length < static_cast<int>(text.size()) - 1) {
        text.resize(static_cast<size_t>(length));
        return text;
      }
      text.resize(text.size() * 2);
    }
  }
  BOOL GetItemRect(int index, RECT* rect, UINT code) const {
    if (!rect) return FALSE;
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)));
  }
  int GetNextItem(int start, UINT flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
  }
  int GetSelectedIndex() const { return GetNextItem(-1, LVNI_SELECTED); }
  BOOL SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  }
  BOOL RedrawItems(int first, int last) { return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, first, last)); }
  BOOL SortItems(PFNLVCOMPARE compare, LPARAM data) {
    return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)));
  }
  DWORD SetExtendedListViewStyle(DWORD style, DWORD mask = 0) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
  }
};
