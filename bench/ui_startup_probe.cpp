// The program's own start-up, ended as soon as the main window is on screen; ui_bench times it
// from outside, process creation and library loading included.

#include <QCoreApplication>
#include <cstdio>

#include "program_entry.h"

int main(int argc, char** argv) {
  return RunProgram(argc, argv, [] {
    std::puts("shown");
    std::fflush(stdout);
    QCoreApplication::quit();
  });
}
