#pragma once

#include <signal.h>
#include <time.h>

#include <chrono>

// While this object lives, a system call of this thread that is still blocked after the timeout
// is interrupted and fails with EINTR. Claiming a parallel port waits for as long as another
// program holds it; this turns that wait into an error the user can be told about.
class BlockingCallTimeout {
 public:
  explicit BlockingCallTimeout(std::chrono::milliseconds timeout);
  ~BlockingCallTimeout();
  BlockingCallTimeout(const BlockingCallTimeout&) = delete;
  BlockingCallTimeout& operator=(const BlockingCallTimeout&) = delete;

 private:
  struct sigaction previous_action_ {};
  timer_t timer_{};
  bool timer_made_ = false;
};
