#pragma once

#include <QStringList>

// Reading, writing and formatting a card, through a parallel port or the emulated card kept in
// a .mc file. Each takes its own arguments, the command name first, and returns the exit status.

int RunLer(const QStringList& arguments);
int RunGravar(const QStringList& arguments);
int RunFormatar(const QStringList& arguments);
