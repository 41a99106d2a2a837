#pragma once
// The seam between the data core and the operating system. On Windows a
// notification target is a window; in the host build it is a receiver object
// that tests create, delivering the same messages in the same order.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#ifdef _WIN32
#include "base/windows_api.h"
#endif

using Time = std::int64_t;  // seconds since 1970-01-01 00:00:00 UTC

#ifdef _WIN32
using WindowHandle = HWND;
using MessageId = UINT;
using MessageParam = WPARAM;
#else
struct HostWindow;
using WindowHandle = HostWindow*;
using MessageId = unsigned int;
using MessageParam = std::uintptr_t;
#endif

namespace platform {

// The time now: the system clock unless a test replaced it.
Time Now();
using Clock = std::function<Time()>;
// Replaces the clock Now reads (an empty one: the system clock again); answers the previous one.
Clock ReplaceClock(Clock clock);
// The system clock itself, whatever replaced it.
Time SystemNow();

// True when target is a live window (IsWindow on Windows).
bool IsWindowAlive(WindowHandle target);
// Synchronous delivery (SendMessageW on Windows); lParam is always 0.
void Send(WindowHandle target, MessageId message, MessageParam wParam);

// A moment as the user's clock on the wall shows it (month 1-12, day 1-31).
struct LocalTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
// In the system's time zone; the epoch for a time the system cannot convert.
LocalTime ToLocalTime(Time time);
// The same, as the C library's parts; false when the time cannot be shown in local time.
bool ToLocalParts(Time time, std::tm& local);
// wcsftime of the local time; empty when it cannot be shown in local time.
std::wstring FormatLocalTime(Time time, const wchar_t* format);
// The local date as the program shows it everywhere ("%a, %b %d, %Y": "Mon, Feb 03, 2025").
std::wstring LocalDateText(Time time);

// Case-insensitive comparison in the user's locale: 0 when equal.
int CompareNoCase(const std::wstring& a, const std::wstring& b);
// A key whose byte order (std::string::compare) is CompareNoCase's order, so
// a sort made of many comparisons reads each text once.
std::string SortKeyNoCase(const std::wstring& text);
// The text without letter case and accents, for finding a part of it.
std::wstring FoldForFinding(const std::wstring& text);

// Full path of the running executable; empty when it cannot be read.
std::wstring ExecutablePath();
// The character that separates folders in ExecutablePath().
wchar_t PathSeparator();

// Makes the auto-start entry present (enable) or absent; failures are silent.
void SetAutoStartEntry(bool enable);
// Whether an auto-start entry naming this executable exists anywhere it is read.
bool AutoStartEntryPresent();

#ifndef _WIN32
// Host-only test receivers standing in for windows.
using HostReceiver = std::function<void(MessageId, MessageParam)>;
WindowHandle CreateHostWindow(HostReceiver receiver);
void DestroyHostWindow(WindowHandle window);
#endif

}  // namespace platform
