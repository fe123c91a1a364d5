#include "program_entry.h"
#include "terminal_options.h"

int main(int argc, char** argv) {
  if (const auto status = AnswerTerminalOptions(argc, argv)) return *status;
  return RunProgram(argc, argv);
}
