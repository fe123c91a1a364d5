#pragma once

#include <QStringList>

#include "card/formats/card_file.h"
#include "cli/command_line.h"

// Commands on card image files. Each takes its own arguments, the command name first, and
// returns the exit status.

int RunListar(const QStringList& arguments);
int RunExportar(const QStringList& arguments);
int RunImportar(const QStringList& arguments);
int RunRemover(const QStringList& arguments);
int RunRestaurar(const QStringList& arguments);
int RunLimpar(const QStringList& arguments);
int RunLocalidade(const QStringList& arguments);
int RunRenomear(const QStringList& arguments);
int RunComentario(const QStringList& arguments);
int RunIcone(const QStringList& arguments);
int RunTrocarIcone(const QStringList& arguments);
int RunNovo(const QStringList& arguments);
int RunConverter(const QStringList& arguments);

// The extensions single-save files are known by (a raw save has none), lower case, no dot.
QStringList SingleSaveExtensions();

// The card formats --formato names ("mc|mcr|gme|vgs|vmp|psx").
const QString& CardFormatCodes();
void AddCardFormatOption(CommandLine& line);
// The format of a card file written to output: --formato, else the one output's extension
// names; wrong usage when neither names one.
CardFormat OutputCardFormat(const CommandLine& line, const QString& output);
