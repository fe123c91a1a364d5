#include "cli/progress_bar.h"

#include <unistd.h>

#include <string>

namespace {
constexpr int kWidth = 40;
constexpr int kFull = 100;
}  // namespace

ProgressBar::ProgressBar(std::FILE* stream)
    : stream_(stream), enabled_(isatty(fileno(stream)) != 0) {}

void ProgressBar::Show(int percent) {
  if (!enabled_ || percent == shown_) return;
  shown_ = percent;
  const int filled = percent * kWidth / kFull;
  const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '-');
  std::fprintf(stream_, "\r[%s] %3d%%", bar.c_str(), percent);
  std::fflush(stream_);
}

void ProgressBar::End() {
  if (shown_ < 0) return;
  std::fputc('\n', stream_);
  std::fflush(stream_);
  shown_ = -1;
}
