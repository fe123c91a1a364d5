#include "quiet_messages.h"

QuietMessages::QuietMessages()
    : previous_(InstallMessageBox(
          [this](const std::string& text, const std::string&) { last_ = text; })) {}

QuietMessages::~QuietMessages() {
  InstallMessageBox(std::move(previous_));
}
