#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "single_save_file.h"

// .mcs: the save's first directory frame exactly as it stood on the card, then its blocks.

// The save, or nothing after the size or identification refusal. A file of more than 15 blocks
// yields its block count only; the import refuses it for want of free blocks.
std::optional<SaveContents> DecodeMcs(std::span<const uint8_t> file, std::uintmax_t size,
                                      const std::string& path);

std::vector<uint8_t> EncodeMcs(const SaveContents& save);

// The length of a .mcs of 1 to 15 blocks: the header frame, then whole blocks.
bool IsMcsLength(std::uintmax_t size);

// What a .mcs looks like before it is read, having no magic of its own: such a length (size, of
// the whole file) and a header whose state byte says "in use, first block".
bool HasMcsShape(std::span<const uint8_t> file, std::uintmax_t size);
