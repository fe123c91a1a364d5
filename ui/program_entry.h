#pragma once

#include <functional>

// The program: the application with its title, the main window, the about box made hidden, and
// the event loop until the main window has closed. after_shown, when given, runs once the window
// is on screen (the start-up benchmark ends the run there).
int RunProgram(int argc, char** argv, const std::function<void()>& after_shown = {});
