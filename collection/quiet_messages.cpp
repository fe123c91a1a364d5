#include "quiet_messages.h"

#include <mutex>

#include "card/messages.h"

namespace {

std::mutex guard;
int depth = 0;
MessageBoxHandler outer_handler;
thread_local std::string last_kept;

}  // namespace

QuietMessages::QuietMessages() {
  last_kept.clear();
  const std::lock_guard lock(guard);
  if (depth++ == 0) {
    outer_handler =
        InstallMessageBox([](const std::string& text, const std::string&) { last_kept = text; });
  }
}

QuietMessages::~QuietMessages() {
  const std::lock_guard lock(guard);
  if (--depth == 0) InstallMessageBox(std::move(outer_handler));
}

const std::string& QuietMessages::Last() const {
  return last_kept;
}
