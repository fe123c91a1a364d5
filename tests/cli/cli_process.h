#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "card/card_image.h"

// Runs the real vexilor-cli executable on real files.

struct CliResult {
  int exit_code = -1;
  QString out;
  QString err;
};

CliResult RunCli(const QStringList& arguments);

// Runs it with a pseudo-terminal as its standard streams, as from an interactive shell. With
// interrupt set, sends SIGINT as soon as the progress bar first shows; output is everything the
// terminal received.
struct TerminalRun {
  int exit_code = -1;
  bool signalled_before_progress = false;  // the run ended before any progress showed
  std::string output;
};
TerminalRun RunCliOnTerminal(const std::vector<std::string>& arguments, bool interrupt);

std::string SamplePath(const std::string& name);
CardImage LoadCard(const std::string& path);  // fails the test unless the file loads
