#pragma once

#include <string>

// While one lives, the card operations' messages are kept instead of shown: a collection of
// thousands of files reports a refused file as one line of its own, never as a message box.
// The outermost one installs the keeper; nested ones, also on other threads, share it, and each
// thread keeps its own last message.
class QuietMessages {
 public:
  QuietMessages();
  ~QuietMessages();
  QuietMessages(const QuietMessages&) = delete;
  QuietMessages& operator=(const QuietMessages&) = delete;

  // The text of the last message this thread kept since this one was made, or empty.
  const std::string& Last() const;
};
