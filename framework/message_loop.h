#pragma once
// The thread's message loop with a chain of filters that see each message
// before it is dispatched: keyboard routing and other pre-translation live in
// filters, not in the loop.
#include <vector>

#include "base/windows_api.h"

class CMessageFilter {
 public:
  // May change the message (readdress it, say); true when it was consumed and
  // must not be dispatched.
  virtual bool PreTranslateMessage(MSG& message) = 0;

 protected:
  ~CMessageFilter() = default;
};

class CMessageLoop {
 public:
  CMessageLoop() = default;
  CMessageLoop(const CMessageLoop&) = delete;
  CMessageLoop& operator=(const CMessageLoop&) = delete;

  // Filters are not owned; the last one added sees each message first.
  void AddMessageFilter(CMessageFilter* filter);
  void RemoveMessageFilter(CMessageFilter* filter);

  // Runs the filters over one message; true when one of them consumed it.
  bool PreTranslateMessage(MSG& message);
  // Until WM_QUIT; answers its exit code.
  int Run();

 private:
  std::vector<CMessageFilter*> filters_;
};
