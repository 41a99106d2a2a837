#include "framework/sort_list_view.h"

namespace framework {

int CompareKeys(WORD type, const LVCompareParam& a, const LVCompareParam& b) {
  switch (type) {
    case LVCOLSORT_TEXT: {
      const int result = lstrcmpW(a.pszValue, b.pszValue);
      return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    case LVCOLSORT_TEXTNOCASE: {
      const int result = lstrcmpiW(a.pszValue, b.pszValue);
      return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    case LVCOLSORT_LONG:
      return a.lValue < b.lValue ? -1 : (a.lValue > b.lValue ? 1 : 0);
    case LVCOLSORT_DOUBLE:
      return a.dblValue < b.dblValue ? -1 : (a.dblValue > b.dblValue ? 1 : 0);
    default:
      return 0;
  }
}

}  // namespace framework
