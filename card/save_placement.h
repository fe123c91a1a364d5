#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "card_image.h"
#include "formats/card_file.h"
#include "formats/single_save_file.h"

// Putting saves on a card as every front end does: a save whose name a save in use already has
// is placed only when the user agrees to replace that save, and each save brings its own
// DexDrive comment.

// Asked when a save to place has the name of a save in use (name as messages show it); true
// replaces that save.
using ReplaceQuestion = std::function<bool(const std::string& name)>;

// Places the saves in turn. A replaced save is removed as RemoveSave does, so it can still be
// restored: its blocks are taken only when no others are free. Each save's comment goes to its
// first block and the other blocks it takes lose theirs. For each save, the first block it now
// starts at, or 0 when it was not placed (the old save kept, the old save not removable, or no
// room), which changes nothing. With one save, no room is the import's own refusal; with
// several, the saves left out for want of room are named in one message and the rest placed.
std::vector<int> ImportSaves(CardImage& image, SaveComments& comments,
                             std::span<const SaveContents> saves, const ReplaceQuestion& replace);
