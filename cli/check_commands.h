#pragma once

#include <QStringList>

// Checking and repairing card images: each takes its own arguments, the command name first, and
// returns the exit status.

int RunVerificar(const QStringList& arguments);
int RunReparar(const QStringList& arguments);
