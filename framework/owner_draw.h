#pragma once
// Owner-draw requests (direct and reflected) as calls on T: DrawItem,
// MeasureItem, CompareItem, DeleteItem. T overrides what it needs; a call may
// use SetMsgHandled(false) to leave the message to later entries.
#include "framework/message_map.h"

template <class T>
class COwnerDraw {
 public:
  // Map 0 takes both the window's own requests and the reflected ones; map 1
  // only reflected ones, for controls that own-draw children of their own.
  BEGIN_MSG_MAP(COwnerDraw<T>)
    MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(WM_COMPAREITEM, OnCompareItem)
    MESSAGE_HANDLER(WM_DELETEITEM, OnDeleteItem)
    MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(OCM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(OCM_COMPAREITEM, OnCompareItem)
    MESSAGE_HANDLER(OCM_DELETEITEM, OnDeleteItem)
    ALT_MSG_MAP(1)
    MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(OCM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(OCM_COMPAREITEM, OnCompareItem)
    MESSAGE_HANDLER(OCM_DELETEITEM, OnDeleteItem)
  END_MSG_MAP()

  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    Self().SetMsgHandled(true);
    static_cast<T*>(this)->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    handled = Self().IsMsgHandled();
    return TRUE;
  }
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    Self().SetMsgHandled(true);
    static_cast<T*>(this)->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    handled = Self().IsMsgHandled();
    return TRUE;
  }
  LRESULT OnCompareItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    Self().SetMsgHandled(true);
    const int result = static_cast<T*>(this)->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
    handled = Self().IsMsgHandled();
    return result;
  }
  LRESULT OnDeleteItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    Self().SetMsgHandled(true);
    static_cast<T*>(this)->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
    handled = Self().IsMsgHandled();
    return TRUE;
  }

  // Defaults: nothing drawn, menu items a menu bar high, nothing compared or freed.
  void DrawItem(LPDRAWITEMSTRUCT) { Self().SetMsgHandled(false); }
  void MeasureItem(LPMEASUREITEMSTRUCT measure) {
    if (measure && measure->CtlType == ODT_MENU)
      measure->itemHeight = GetSystemMetrics(SM_CYMENU);
    else
      Self().SetMsgHandled(false);
  }
  int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
  void DeleteItem(LPDELETEITEMSTRUCT) { Self().SetMsgHandled(false); }

 private:
  // The flag lives in the window's message map, shared with its crackers.
  T& Self() { return *static_cast<T*>(this); }
};
