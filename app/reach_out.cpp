#include "app/reach_out.h"

#include <shellapi.h>

#include <cstring>

#include "app/message_caption.h"
#include "model/reach.h"

namespace reach {
namespace {

bool ShellOpen(HWND owner, const std::wstring& link) {
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(owner, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

LinkOpener opener = &ShellOpen;

bool Open(HWND owner, const std::wstring& link, const std::wstring& text, const wchar_t* copied,
          const wchar_t* notCopied) {
  if (opener(owner, link)) return true;
  const bool onClipboard = CopyToClipboard(owner, text);
  ::MessageBoxW(owner, onClipboard ? copied : notCopied, kMessageCaption, MB_OK | MB_ICONINFORMATION);
  return false;
}

}  // namespace

LinkOpener ReplaceLinkOpener(LinkOpener replacement) {
  const LinkOpener previous = opener;
  opener = replacement ? replacement : &ShellOpen;
  return previous;
}

bool Call(HWND owner, const std::wstring& number) {
  return Open(owner, TelUri(number), number,
              L"No program opens phone numbers on this computer. The number was copied to the clipboard.",
              L"No program opens phone numbers on this computer, and the number could not be copied to the "
              L"clipboard.");
}

bool Email(HWND owner, const std::wstring& address) {
  return Open(owner, MailtoUri(address), address,
              L"No program opens e-mail addresses on this computer. The address was copied to the clipboard.",
              L"No program opens e-mail addresses on this computer, and the address could not be copied to the "
              L"clipboard.");
}

bool CopyToClipboard(HWND owner, const std::wstring& text) {
  if (!::OpenClipboard(owner)) return false;
  bool done = false;
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  if (::EmptyClipboard()) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (void* target = memory ? ::GlobalLock(memory) : nullptr) {
      std::memcpy(target, text.c_str(), bytes);
      ::GlobalUnlock(memory);
      // The clipboard owns the memory once it took it.
      done = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!done && memory) ::GlobalFree(memory);
  }
  ::CloseClipboard();
  return done;
}

}  // namespace reach
