#include "blocking_call_timeout.h"

#include <unistd.h>

namespace {
// Not a signal the program uses otherwise; its handler does nothing, it only interrupts.
constexpr int TimeoutSignal = SIGALRM;

void IgnoreTimeout(int) {}
}  // namespace

BlockingCallTimeout::BlockingCallTimeout(std::chrono::milliseconds timeout) {
  struct sigaction action {};
  action.sa_handler = IgnoreTimeout;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the blocked call must return
  sigaction(TimeoutSignal, &action, &previous_action_);

  // Aimed at this thread, so that no other thread takes the signal in its place.
  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = TimeoutSignal;
  event._sigev_un._tid = ::gettid();
  if (timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0) return;
  timer_made_ = true;
  itimerspec when{};
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
  when.it_value.tv_sec = seconds.count();
  when.it_value.tv_nsec = std::chrono::nanoseconds(timeout - seconds).count();
  timer_settime(timer_, 0, &when, nullptr);
}

BlockingCallTimeout::~BlockingCallTimeout() {
  // A signal that fired meanwhile is taken by the harmless handler before it is put back.
  if (timer_made_) timer_delete(timer_);
  sigaction(TimeoutSignal, &previous_action_, nullptr);
}
