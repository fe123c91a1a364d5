#pragma once

#include <QString>
#include <QStringList>

#include "cli/command_line.h"
#include "readers/reader_entry.h"

// vexilor-cli leitores: the serial readers the ports found now may hold, each with the options
// that reach it.
int RunLeitores(const QStringList& arguments);

// Those options: --leitor KIND --serial PORT.
inline const QString ReaderOption = QStringLiteral("leitor");
inline const QString SerialOption = QStringLiteral("serial");

// The serial reader the two options name; both must be given. Wrong usage, saying that --leitor
// must be one of accepted, when KIND names no serial reader.
ReaderEntry NamedSerialReader(const CommandLine& line, const QString& accepted);
