#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "single_save_file.h"

// Several saves in one stream of bytes, as the clipboard and a drag carry them between windows
// and programs (MIME type application/x-vexilor-saves). All numbers are little-endian u32:
//
//   offset 0   8 bytes   "VXSAVES1"
//          8   u32       number of saves, 1..15
//   then, for each save:
//              u32       length of its .mcs, 128 + n * 8192 with n 1..15
//              u32       length of its DexDrive comment, 0..255
//              ...       the comment (Windows-1252, no NUL), then the .mcs bytes

inline constexpr std::string_view SaveBundleMimeType = "application/x-vexilor-saves";

std::vector<uint8_t> EncodeSaveBundle(std::span<const SaveContents> saves);

// The saves of a bundle, or nothing when the bytes are no bundle (wrong magic, lengths out of
// range or that do not add up to the whole). Each .mcs goes through its file's checks, whose
// refusals name it as name; a refused one is left out.
std::optional<std::vector<SaveContents>> DecodeSaveBundle(std::span<const uint8_t> bytes,
                                                          const std::string& name);
