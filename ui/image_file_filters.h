#pragma once

#include <QString>
#include <QStringList>

#include "card/formats/card_file.h"

// The filters of the image file dialogs and the format each save filter writes.

// "Abrir arquivo imagem": every readable image first, then .mc, one filter per format, and all
// files.
QString ImageOpenFilter();

// "Novo arquivo imagem" and saving an image read from a card: one filter per format, .mc first.
QString ImageSaveFilter();

struct SaveFilterChoice {
  CardFormat format;
  QString extension;  // with its dot, added to a name chosen without one
};
// The format and extension of save filter filter_index (0 for the first); .mc for any other.
SaveFilterChoice ImageSaveFilterChoice(int filter_index);

// "Salvar Ícone...": .ico first, as it always was, then .png and the animated .gif.
QString IconExportFilter();
// The extensions of its filters, with their dots, in the same order.
QStringList IconExportExtensions();
