#pragma once
// How the address book sync's last result reads, in the tray's tip and in
// the sync's settings: when it last succeeded, or why it did not.
#include <cstddef>
#include <string>
#include <vector>

#include "model/platform.h"

enum class SyncFailure {
  None,
  NotYet,       // no sync has finished since the start
  Network,      // no connection, no answer, or the server's error
  Password,     // the server refused the user name and password
  Certificate,  // the server's certificate was not accepted
  Other,        // what the server answered could not be used
};

struct SyncStatus {
  Time lastSync = 0;  // 0: never
  SyncFailure failure = SyncFailure::NotYet;
  std::wstring why;                   // for Other: the failure in words
  std::vector<std::wstring> skipped;  // cards that could not be read or written, named
};

// "Synced just now.", "Synced 2 min ago.", "Synced 3 h ago.", "Synced on
// <date>." (a day and more), or "Not synced: no connection to the server."
// and the like. The short form is the tray's; the long one names the cards
// skipped too.
std::wstring SyncStatusLine(const SyncStatus& status, Time now);
std::wstring SyncStatusText(const SyncStatus& status, Time now);

// The tray's tip: the reminders' text with the sync's line under it, within
// room characters (the shell's field, less its terminator). The line always
// shows whole; the reminders' text is cut at a word, with an ellipsis.
std::wstring TipWithLine(const std::wstring& tip, const std::wstring& line, std::size_t room);
