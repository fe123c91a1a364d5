#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "single_save_file.h"

// Raw saves: the save's blocks and nothing else. The directory name travels as the file name.

// 1 to 15 whole blocks, the first starting with the title magic.
bool LooksLikeRawSave(std::span<const uint8_t> prefix, std::uintmax_t size);

// The save named after the file: a name longer than a directory name is the directory name
// plus an extension, so its first 20 characters are kept; a shorter one loses its extension.
SaveContents DecodeRawSave(std::span<const uint8_t> file, std::uintmax_t size,
                           const std::string& path);

std::vector<uint8_t> EncodeRawSave(const SaveContents& save);
