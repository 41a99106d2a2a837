#pragma once
// What a process starts before its first window, in the order the parts need
// it, and stops in reverse: COM for the shell's dialogs, the rich edit class of
// the notes field, the common controls, GDI+ for pictures. The program's entry
// point and every test runner use this one object.
#include "base/windows_api.h"

#include "framework/handles.h"
#include "framework/image.h"

class UiStartup {
 public:
  UiStartup();
  ~UiStartup();
  UiStartup(const UiStartup&) = delete;
  UiStartup& operator=(const UiStartup&) = delete;

 private:
  // Declared in acquisition order; stopped in reverse.
  class ComApartment {
   public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

   private:
    bool started_ = false;
  } com_;
  UniqueModule richEdit_;
  GdiplusSession gdiplus_;
};
