#pragma once

#include <QJsonObject>
#include <QString>

#include "card/card_image.h"

// What the main window shows for an image, as text and as JSON: the 15 block lines, the source
// line, the two counters and, in JSON, every block's details. All texts come from view/,
// so both front ends show the same.

// Control characters from a card title or a file name would act on the terminal (retitle it,
// clear it, forge lines); they are shown as \xNN instead.
QString Harmless(const QString& text);

QString ListingText(const CardImage& image, const QString& source_name);
QJsonObject ListingJson(const CardImage& image, const QString& source_name);
