#include "cli/interrupt.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t interrupted = 0;

extern "C" void RaiseInterruptFlag(int) {
  interrupted = 1;
}
}  // namespace

InterruptFlag::InterruptFlag() {
  interrupted = 0;
  previous_ = std::signal(SIGINT, RaiseInterruptFlag);
}

InterruptFlag::~InterruptFlag() {
  std::signal(SIGINT, previous_);
}

bool InterruptFlag::raised() const {
  return interrupted != 0;
}
