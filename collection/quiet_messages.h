#pragma once

#include <string>

#include "card/messages.h"

// While one lives, the card operations' messages are kept instead of shown: a collection of
// thousands of files reports a refused file as one line of its own, never as a message box.
class QuietMessages {
 public:
  QuietMessages();
  ~QuietMessages();
  QuietMessages(const QuietMessages&) = delete;
  QuietMessages& operator=(const QuietMessages&) = delete;

  // The text of the last message kept, or empty.
  const std::string& Last() const { return last_; }

 private:
  MessageBoxHandler previous_;
  std::string last_;
};
