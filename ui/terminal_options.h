#pragma once

#include <optional>

// What the window answers on the terminal before it starts, so that it needs no display: --help
// and --version. The exit status when one was answered; nothing when the window is to start.
std::optional<int> AnswerTerminalOptions(int argc, char** argv);
