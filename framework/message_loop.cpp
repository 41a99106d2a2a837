#include "framework/message_loop.h"

#include <algorithm>

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
  if (filter && std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) filters_.push_back(filter);
}

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

bool CMessageLoop::PreTranslateMessage(MSG& message) {
  // A filter may remove itself while it runs: walk a copy.
  const std::vector<CMessageFilter*> filters(filters_.rbegin(), filters_.rend());
  for (CMessageFilter* filter : filters)
    if (filter->PreTranslateMessage(message)) return true;
  return false;
}

int CMessageLoop::Run() {
  MSG message{};
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (PreTranslateMessage(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}
