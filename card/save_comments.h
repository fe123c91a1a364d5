#pragma once

#include <cstddef>
#include <string>

#include "card_image.h"
#include "formats/card_file.h"

// A DexDrive comment belongs to its save and is kept at the save's first block: removal and
// restoration leave it there, a purge drops it with the save, and a save placed on the card
// brings its own or none (save_placement.h), so a stale comment never labels another save.

// The field holds 256 bytes; one is kept for the NUL that readers may look for.
inline constexpr std::size_t MaxCommentLength = 255;

std::string& CommentAt(SaveComments& comments, int block);

// PurgeRemovedSaves, and the comments of the purged saves with them.
void PurgeRemovedSaves(CardImage& image, SaveComments& comments);

// Sets the comment (Windows-1252) of the save in use that starts at block; false after showing
// the refusal (not the first block of a save in use, too long, a control character).
bool SetSaveComment(const CardImage& image, SaveComments& comments, int block,
                    const std::string& comment);
