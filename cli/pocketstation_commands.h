#pragma once

#include <QStringList>

// vexilor-cli pocketstation info|bios SAIDA|relogio: a PocketStation through a MemCARDuino.
int RunPocketstation(const QStringList& arguments);
