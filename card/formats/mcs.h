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
