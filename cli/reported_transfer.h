#pragma once

#include <string>

#include "card/card_image.h"
#include "transfer/card_run.h"

// One whole-card transfer on the command line: a progress bar on standard error when it is a
// terminal, Ctrl+C as the cancel button, and the end reported through the message service (a
// frame failure names its frame; an interruption adds stopped_note). True only when all 1024
// frames went through.
bool RunReportedTransfer(TransferKind kind, CardImage& image, CardConnection& connection,
                         const std::string& stopped_note);
