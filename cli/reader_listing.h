#pragma once

#include <QStringList>

// vexilor-cli leitores: the serial readers the ports found now may hold, each with the options
// that reach it.
int RunLeitores(const QStringList& arguments);
