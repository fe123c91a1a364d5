#pragma once

#include <QJsonObject>
#include <QString>

#include "collection/found_file.h"

// One catalogue row per save: the keys of listar --json where they exist, plus the file, its
// format and the save's SHA-256.
QJsonObject CatalogueRowJson(const QString& file, const std::string& format, const FoundSave& save);
// The same fields on one line, separated by tabs, in the order of the JSON keys.
QString CatalogueRowText(const QString& file, const std::string& format, const FoundSave& save);
