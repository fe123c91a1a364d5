#pragma once

#include <QStringList>

// Many cards and files at once: split into per-game cards, merge into few cards, catalogue.

int RunSeparar(const QStringList& arguments);
int RunCatalogo(const QStringList& arguments);
int RunJuntar(const QStringList& arguments);
