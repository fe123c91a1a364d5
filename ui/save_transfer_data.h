#pragma once

#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "card/formats/single_save_file.h"

class QMimeData;

// The saves on the clipboard and in a drag between windows or programs: each save's .mcs bytes
// and its DexDrive comment, in the layout of card/formats/save_bundle.h, under the program's own
// MIME type.

QString SaveTransferMimeType();

// New data holding the saves; the caller (the clipboard or a drag) takes it.
QMimeData* NewSaveTransferData(std::span<const SaveContents> saves);

bool HoldsSaves(const QMimeData* data);

// The saves data holds; nothing when it holds none or bytes that are no bundle, which is said.
// A save that its .mcs checks refuse is said and left out.
std::optional<std::vector<SaveContents>> SavesOf(const QMimeData* data);
