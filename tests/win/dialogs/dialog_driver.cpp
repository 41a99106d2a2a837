#include "tests/win/dialogs/dialog_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace test {

DialogDriver::DialogDriver() {
  current_ = this;
  hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver() {
  if (hook_) UnhookWindowsHookEx(hook_);
  for (const auto& entry : ready_) KillTimer(nullptr, entry.first);
  current_ = nullptr;
}

void DialogDriver::Expect(const std::wstring& caption, Script script) {
  pending_.push_back({caption, std::move(script)});
}

std::vector<std::wstring> DialogDriver::TakeMessages() {
  std::vector<std::wstring> taken;
  taken.swap(messages_);
  return taken;
}

LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wParam, LPARAM lParam) {
  DialogDriver* self = current_;
  if (self) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE) self->Activated(window);
    // A later window may get the same handle value.
    if (code == HCBT_DESTROYWND) self->seen_.erase(window);
  }
  return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
}

void DialogDriver::Activated(HWND window) {
  // An owner is activated again when the box it owns closes: act once.
  if (!seen_.insert(window).second) return;
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  if (!pending_.empty() && pending_.front().caption == caption) {
    const UINT_PTR id = SetTimer(nullptr, 0, 0, &OnTimer);
    ready_[id] = {window, std::move(pending_.front().script)};
    pending_.pop_front();
    return;
  }
  wchar_t text[4096] = {};
  if (GetDlgItemTextW(window, 0xFFFF, text, 4096) == 0 && GetDlgItem(window, 0xFFFF) == nullptr) return;
  messages_.push_back(text);
  captions_.push_back(caption);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  DialogDriver* self = current_;
  if (!self) return;
  const auto found = self->ready_.find(id);
  if (found == self->ready_.end()) return;
  Ready ready = std::move(found->second);
  self->ready_.erase(found);
  ++self->scriptsRun_;
  ready.script(ready.window);
  // A script that stopped early (a failed assertion) must not leave the test
  // waiting in the dialog's loop; after a clean end this post is never read.
  PostMessageW(ready.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int Selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }

int EntryCount(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0)); }

std::wstring EntryText(HWND dialog, int id, int index) {
  wchar_t buffer[512] = {};
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.pszText = buffer;
  item.cchTextMax = 512;
  SendDlgItemMessageW(dialog, id, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.pszText ? item.pszText : L"";
}

LPARAM EntryData(HWND dialog, int id, int index) {
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_LPARAM;
  item.iItem = index;
  SendDlgItemMessageW(dialog, id, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

void ChooseEntry(HWND dialog, int id, int index) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

HWND DialogFocus(HWND dialog) {
  if (GetActiveWindow() != dialog) SetActiveWindow(dialog);
  return GetFocus();
}

std::wstring Text(HWND dialog, int id) {
  wchar_t buffer[1024] = {};
  GetDlgItemTextW(dialog, id, buffer, 1024);
  return buffer;
}

}  // namespace test
