#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "single_save_file.h"

// Raw saves: the save's blocks and nothing else. The directory name travels in the file name.

// 1 to 15 whole blocks, the first starting with the title magic.
bool LooksLikeRawSave(std::span<const uint8_t> prefix, std::uintmax_t size);

// The directory name a file name carries anywhere in it, extension left out: "B", a region
// letter (A, E, I), a product code (four capitals, '-' or the PocketStation 'P', five digits)
// and up to 8 identifier characters up to the first blank. Archives name raw saves
// "Game Name-BASLUS-00958GS2-1.srm"; the first 20 characters of such a name are no save's name.
std::optional<std::string> DirectoryNameInFileName(const std::string& path);

// The save, named name when one is given, else by its file name. Nothing after a refusal when
// neither gives a directory name.
std::optional<SaveContents> DecodeRawSave(std::span<const uint8_t> file, std::uintmax_t size,
                                          const std::string& path,
                                          const std::optional<std::string>& name);

std::vector<uint8_t> EncodeRawSave(const SaveContents& save);
