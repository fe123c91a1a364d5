#pragma once

#include <cstdio>

// A one-line progress bar with its percentage, redrawn in place on a terminal; silent when the
// stream is not a terminal, so redirected output stays clean.
class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* stream);
  ~ProgressBar() { End(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Show(int percent);
  // Ends the bar's line, so that what follows starts on a line of its own.
  void End();

 private:
  std::FILE* stream_;
  bool enabled_;
  int shown_ = -1;  // the percentage on screen; -1 before the first
};
