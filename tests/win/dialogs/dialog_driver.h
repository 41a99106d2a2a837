#pragma once
// Drives modal dialogs from inside their own modal loops: a thread-local CBT
// hook sees each dialog activate; a dialog whose caption matches the next
// expected one gets its script, run from a thread timer that its modal loop
// dispatches. Every other box (the dialogs' error messages) is answered with
// OK and its text recorded. No test blocks.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/windows_api.h"

namespace test {

class DialogDriver {
 public:
  using Script = std::function<void(HWND dialog)>;

  DialogDriver();
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // The next window activated with this caption runs script once.
  void Expect(const std::wstring& caption, Script script);

  // Texts of the message boxes answered so far; cleared by TakeMessages.
  const std::vector<std::wstring>& messages() const { return messages_; }
  std::vector<std::wstring> TakeMessages();
  const std::vector<std::wstring>& messageCaptions() const { return captions_; }
  int scriptsRun() const { return scriptsRun_; }
  bool AllScriptsRun() const { return pending_.empty() && ready_.empty(); }

 private:
  struct Pending {
    std::wstring caption;
    Script script;
  };
  struct Ready {
    HWND window;
    Script script;
  };

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  void Activated(HWND window);

  static inline thread_local DialogDriver* current_ = nullptr;
  HHOOK hook_ = nullptr;
  std::deque<Pending> pending_;
  std::map<UINT_PTR, Ready> ready_;
  std::set<HWND> seen_;
  std::vector<std::wstring> messages_;
  std::vector<std::wstring> captions_;
  int scriptsRun_ = 0;
};

// Clicks a dialog's push button as the user would (WM_COMMAND, BN_CLICKED).
void Click(HWND dialog, int id);

// Reads and sets the extended combo boxes the dialogs use.
int Selected(HWND dialog, int id);
int EntryCount(HWND dialog, int id);
std::wstring EntryText(HWND dialog, int id, int index);
LPARAM EntryData(HWND dialog, int id, int index);
// Selects an entry of the group list as a user's pick does (CBN_SELENDOK).
void ChooseEntry(HWND dialog, int id, int index);
std::wstring Text(HWND dialog, int id);
// The control the dialog gives the keyboard focus to. Tests share one desktop,
// and a window of a test running alongside may take the activation away; the
// dialog keeps its focus control while inactive and gives it back when it is
// active again, so the dialog is made this thread's active window first.
HWND DialogFocus(HWND dialog);

}  // namespace test
