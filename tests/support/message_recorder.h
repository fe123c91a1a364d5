#pragma once

#include <string>
#include <vector>

#include "card/messages.h"

namespace test_support {

struct RecordedMessage {
  std::string text;
  std::string caption;
  bool operator==(const RecordedMessage&) const = default;
};

// Records every message box the card operations show while it lives, then puts back the
// handler that was installed before it.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  void Clear() { messages_.clear(); }

 private:
  std::vector<RecordedMessage> messages_;
  MessageBoxHandler previous_;
};

}  // namespace test_support
