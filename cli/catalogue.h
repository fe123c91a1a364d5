#pragma once

#include <QByteArray>
#include <QString>

#include "collection/found_file.h"

// One catalogue row per save, as a UTF-8 line: a compact JSON object with the keys of listar
// --json where they exist, plus the file, its format and the save's SHA-256. Written by hand:
// a catalogue has hundreds of thousands of rows, and a JSON document per row costs more than
// reading the card.
QByteArray CatalogueRowJson(const QString& file, const std::string& format, const FoundSave& save);
// The same fields separated by tabs, in the order of the JSON keys.
QByteArray CatalogueRowText(const QString& file, const std::string& format, const FoundSave& save);

// text as a JSON string, quotes included.
void AppendJsonString(QByteArray& out, const QString& text);
