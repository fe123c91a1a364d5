#pragma once

#include <string>

// The card library's message service for the command line: every refusal or failure it shows is
// printed as "caption: text" on standard error and counted, so a command that was refused can
// end with ExitFailed.

void InstallCommandLineMessages();
// Refusals and failures printed so far; warnings are printed but not counted.
int MessagesShown();

// A message of the command line's own, printed the same way and counted.
void ReportFailure(const std::string& text, const std::string& caption);
