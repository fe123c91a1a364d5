#include "message_recorder.h"

#include <utility>

namespace test_support {

MessageRecorder::MessageRecorder()
    : previous_(InstallMessageBox([this](const std::string& text, const std::string& caption) {
        messages_.push_back({text, caption});
      })) {}

MessageRecorder::~MessageRecorder() {
  InstallMessageBox(std::move(previous_));
}

}  // namespace test_support
