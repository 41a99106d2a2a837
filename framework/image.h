#pragma once
// Pictures loaded through GDI+ into a DIB section and drawn with GDI.
#include <string>

#include "framework/handles.h"

// GDI+ for the life of the object (the program's entry point, test runners).
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};
