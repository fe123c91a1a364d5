#pragma once

#include <QString>

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
