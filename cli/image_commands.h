#pragma once

#include <QStringList>

// Commands on card image files. Each takes its own arguments, the command name first, and
// returns the exit status.

int RunListar(const QStringList& arguments);
int RunExportar(const QStringList& arguments);
int RunImportar(const QStringList& arguments);
int RunRemover(const QStringList& arguments);
int RunRestaurar(const QStringList& arguments);
int RunLimpar(const QStringList& arguments);
int RunLocalidade(const QStringList& arguments);
int RunIcone(const QStringList& arguments);
int RunTrocarIcone(const QStringList& arguments);
int RunNovo(const QStringList& arguments);
int RunConverter(const QStringList& arguments);
