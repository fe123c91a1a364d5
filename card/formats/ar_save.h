#pragma once

#include <span>
#include <string>
#include <vector>

#include "single_save_file.h"

// The 54-byte header of Action Replay, GameShark and Xploder files (.psx, .pda, .mcb, .mcx): the
// directory name, a title for people to read, then the blocks.
namespace ActionReplayHeader {
inline constexpr std::size_t NameOffset = 0x00;  // the 20 name bytes, then a NUL
inline constexpr std::size_t NameLength = 21;
inline constexpr std::size_t TitleOffset = 0x15;  // NUL-terminated, at most 32 characters
inline constexpr std::size_t TitleLength = 33;
inline constexpr std::size_t Size = TitleOffset + TitleLength;  // 54: the blocks start here
}  // namespace ActionReplayHeader

// The header, then 1 to 15 whole blocks, the first starting with the title magic.
bool LooksLikeActionReplaySave(std::span<const uint8_t> prefix, std::uintmax_t size);

SaveContents DecodeActionReplaySave(std::span<const uint8_t> file, std::uintmax_t size,
                                    const std::string& path);

// The title is the save's own, as the block list shows it, cut to 32 characters.
std::vector<uint8_t> EncodeActionReplaySave(const SaveContents& save);
