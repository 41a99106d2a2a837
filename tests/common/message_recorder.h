#pragma once
// A notification receiver for tests: a real (message-only) window on Windows,
// the host seam's receiver elsewhere. It records every message it is sent and
// can run a reaction inside the send, as the main window does.
#include <functional>
#include <vector>

#include "model/platform.h"

struct RecordedMessage {
  MessageId message;
  MessageParam wParam;
  bool operator==(const RecordedMessage& other) const { return message == other.message && wParam == other.wParam; }
};

class MessageRecorder {
 public:
  using Reaction = std::function<void(MessageId, MessageParam)>;

  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  WindowHandle window() const { return window_; }
  const std::vector<RecordedMessage>& messages() const { return messages_; }
  void Clear() { messages_.clear(); }
  void OnMessage(Reaction reaction) { reaction_ = std::move(reaction); }
  void Destroy();

  void Receive(MessageId message, MessageParam wParam) {
    messages_.push_back({message, wParam});
    if (reaction_) reaction_(message, wParam);
  }

 private:
  WindowHandle window_{};
  std::vector<RecordedMessage> messages_;
  Reaction reaction_;
};
