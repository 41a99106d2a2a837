#pragma once
// A list view that sorts its rows by a per-column sort type. Rows are sorted
// by the control itself (LVM_SORTITEMS); the custom type asks
// T::CompareItemsCustom about pairs of rows, unless T sorts rows it keeps
// itself (an owner-data list) by providing its own SortItemsCustom.
#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/list_view.h"

enum : WORD {
  LVCOLSORT_NONE = 0,
  LVCOLSORT_TEXT = 1,        // lstrcmpW of the column's text
  LVCOLSORT_TEXTNOCASE = 2,  // lstrcmpiW of the column's text
  LVCOLSORT_LONG = 3,        // the text as a whole number
  LVCOLSORT_DOUBLE = 4,      // the text as a number
  LVCOLSORT_CUSTOM = 9       // T::CompareItemsCustom
};

// One row as a comparison sees it. For the custom type iItem is -1: rows move
// while the control sorts, and only their data identifies them.
struct LVCompareParam {
  int iItem;
  DWORD_PTR dwItemData;
  union {
    long lValue;
    double dblValue;
    const wchar_t* pszValue;
  };
};

namespace framework {

// The standard cursor-while-busy: the previous cursor comes back afterwards.
class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;  // not owned: shared system cursors
};

int CompareKeys(WORD type, const LVCompareParam& a, const LVCompareParam& b);

}  // namespace framework

template <class T>
class CSortListViewImpl {
 public:
  BEGIN_MSG_MAP(CSortListViewImpl<T>)
    MESSAGE_HANDLER(LVM_INSERTCOLUMNW, OnInsertColumn)
    MESSAGE_HANDLER(LVM_DELETECOLUMN, OnDeleteColumn)
    NOTIFY_CODE_HANDLER(HDN_ITEMCLICKW, OnHeaderItemClick)
  END_MSG_MAP()

  bool SetColumnSortType(int column, WORD type) {
    if (column < 0 || column >= static_cast<int>(sortTypes_.size())) return false;
    sortTypes_[static_cast<size_t>(column)] = type;
    return true;
  }
  WORD GetColumnSortType(int column) const {
    if (column < 0 || column >= static_cast<int>(sortTypes_.size())) return LVCOLSORT_NONE;
    return sortTypes_[static_cast<size_t>(column)];
  }
  int GetSortColumn() const { return sortColumn_; }
  bool IsSortDescending() const { return descending_; }

  // Sorts the rows by the column; false for an unknown or unsortable column
  // or when the control refused. Fewer than two rows: nothing to do.
  bool DoSortItems(int column, bool descending = false) {
    T* self = static_cast<T*>(this);
    const WORD type = GetColumnSortType(column);
    if (type == LVCOLSORT_NONE) return false;
    sortColumn_ = column;
    descending_ = descending;
    const int count = self->GetItemCount();
    if (count < 2) return true;

    framework::WaitCursor wait;
    if (type == LVCOLSORT_CUSTOM) return self->SortItemsCustom(column, descending);
    SortContext context{self, column, descending, type};

    // Typed sorts compare keys read once; each row's data is lent to its key
    // record while the control sorts and given back afterwards.
    std::vector<LVCompareParam> params(static_cast<size_t>(count));
    std::vector<std::wstring> texts(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      LVCompareParam& param = params[static_cast<size_t>(i)];
      param.iItem = i;
      param.dwItemData = self->GetItemData(i);
      std::wstring& text = texts[static_cast<size_t>(i)];
      text = self->GetItemText(i, column);
      switch (type) {
        case LVCOLSORT_LONG:
          param.lValue = std::wcstol(text.c_str(), nullptr, 10);
          break;
        case LVCOLSORT_DOUBLE:
          param.dblValue = std::wcstod(text.c_str(), nullptr);
          break;
        default:
          param.pszValue = text.c_str();
          break;
      }
    }
    bool ok = true;
    int lent = 0;
    for (; lent < count && ok; ++lent)
      ok = self->SetItemData(lent, reinterpret_cast<DWORD_PTR>(&params[static_cast<size_t>(lent)])) != FALSE;
    if (ok) ok = self->SortItems(&CompareTyped, reinterpret_cast<LPARAM>(&context)) != FALSE;
    // Give every row its own data back, wherever the sort left it.
    for (int i = 0; i < count; ++i) {
      const DWORD_PTR data = self->GetItemData(i);
      for (const LVCompareParam& param : params) {
        if (data == reinterpret_cast<DWORD_PTR>(&param)) {
          self->SetItemData(i, param.dwItemData);
          break;
        }
      }
    }
    return ok;
  }

  void ResetColumnSortTypes(int columns) {
    sortTypes_.assign(static_cast<size_t>(columns > 0 ? columns : 0), LVCOLSORT_TEXT);
    sortColumn_ = -1;
  }

  // The custom sort of rows stored in the control.
  bool SortItemsCustom(int column, bool descending) {
    T* self = static_cast<T*>(this);
    SortContext context{self, column, descending, LVCOLSORT_CUSTOM};
    return self->SortItems(&CompareCustom, reinterpret_cast<LPARAM>(&context)) != FALSE;
  }

  // Overridden by T for LVCOLSORT_CUSTOM: negative when a goes first.
  int CompareItemsCustom(LVCompareParam* /*a*/, LVCompareParam* /*b*/, int /*column*/) { return 0; }

  LRESULT OnInsertColumn(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT index = static_cast<T*>(this)->DefWindowProc(message, wParam, lParam);
    if (index < 0) return index;
    const size_t at = std::min(static_cast<size_t>(index), sortTypes_.size());
    sortTypes_.insert(sortTypes_.begin() + static_cast<std::ptrdiff_t>(at), LVCOLSORT_TEXT);
    if (sortColumn_ >= static_cast<int>(index)) ++sortColumn_;
    return index;
  }

  LRESULT OnDeleteColumn(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT deleted = static_cast<T*>(this)->DefWindowProc(message, wParam, lParam);
    const int column = static_cast<int>(wParam);
    if (!deleted || column < 0 || column >= static_cast<int>(sortTypes_.size())) return deleted;
    sortTypes_.erase(sortTypes_.begin() + column);
    if (sortColumn_ == column)
      sortColumn_ = -1;
    else if (sortColumn_ > column)
      --sortColumn_;
    return deleted;
  }

  // A header click sorts by that column, toggling the direction on a repeat.
  LRESULT OnHeaderItemClick(int, LPNMHDR header, BOOL& handled) {
    handled = FALSE;  // the control still turns it into LVN_COLUMNCLICK
    T* self = static_cast<T*>(this);
    if (header->hwndFrom != self->GetHeader()) return 0;
    const int column = reinterpret_cast<LPNMHEADERW>(header)->iItem;
    const bool descending = column == sortColumn_ ? !descending_ : false;
    self->DoSortItems(column, descending);
    return 0;
  }

 private:
  struct SortContext {
    T* self;
    int column;
    bool descending;
    WORD type;
  };

  // Comparisons run inside the control's sort: nothing may be thrown into it.
  static int CALLBACK CompareCustom(LPARAM first, LPARAM second, LPARAM data) {
    auto* context = reinterpret_cast<SortContext*>(data);
    LVCompareParam a{};
    LVCompareParam b{};
    a.iItem = b.iItem = -1;
    a.dwItemData = static_cast<DWORD_PTR>(first);
    b.dwItemData = static_cast<DWORD_PTR>(second);
    int result = 0;
    try {
      result = context->self->CompareItemsCustom(&a, &b, context->column);
    } catch (...) {
      result = 0;
    }
    return context->descending ? -result : result;
  }

  static int CALLBACK CompareTyped(LPARAM first, LPARAM second, LPARAM data) {
    auto* context = reinterpret_cast<SortContext*>(data);
    const int result = framework::CompareKeys(context->type, *reinterpret_cast<LVCompareParam*>(first),
                                              *reinterpret_cast<LVCompareParam*>(second));
    return context->descending ? -result : result;
  }

  std::vector<WORD> sortTypes_;
  int sortColumn_ = -1;
  bool descending_ = false;
};

template <class T, class TBase = CListViewCtrl>
class CSortListViewCtrlImpl : public CWindowImpl<T, TBase>, public CSortListViewImpl<T> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, TBase::GetWndClassName())

  BEGIN_MSG_MAP(CSortListViewCtrlImpl)
    CHAIN_MSG_MAP(CSortListViewImpl<T>)
  END_MSG_MAP()

  // Columns that already exist when the control is taken over get the text type.
  BOOL SubclassWindow(HWND window) {
    if (!CWindowImpl<T, TBase>::SubclassWindow(window)) return FALSE;
    this->ResetColumnSortTypes(this->GetColumnCount());
    return TRUE;
  }
};
