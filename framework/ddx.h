#pragma once
// Data exchange between a dialog's controls and its members. The maps are
// tables of exchange entries; an empty map exchanges nothing and succeeds.
#include "base/windows_api.h"

#define BEGIN_DDX_MAP(thisClass)           \
  BOOL DoDataExchange(bool save = false) { \
    (void)save;
#define END_DDX_MAP() \
  return TRUE;        \
  }

template <class T>
class CWinDataExchange {};
