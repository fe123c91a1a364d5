#include "cli/message_report.h"

#include <cstdio>

#include "card/messages.h"

namespace {
int shown = 0;

void PrintAndCount(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  ++shown;
}
}  // namespace

void InstallCommandLineMessages() {
  InstallMessageBox(PrintAndCount);
}

int MessagesShown() {
  // Warnings let the operation go on: they are no failure of the command.
  return shown - WarningsShown();
}

void ReportFailure(const std::string& text, const std::string& caption) {
  PrintAndCount(text, caption);
}
