#pragma once

#include <QString>
#include <optional>

#include "card/save_icon.h"

// Any picture Qt reads (PNG, BMP, GIF, JPEG) as a save icon: each frame fitted into 16 x 16
// keeping its shape, every frame sharing one palette of at most 16 colours, see-through pixels
// as colour word 0x0000.

struct IconImport {
  std::optional<SaveIcon> icon;  // nothing: the picture could not be used
  QString refusal;               // why, in Portuguese
};

IconImport IconFromPicture(const QString& path);
