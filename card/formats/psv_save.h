#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "single_save_file.h"

// The console's .PSV single saves: a signed 0x84-byte header, then the blocks.
namespace PsvHeader {
inline constexpr uint8_t Magic[4] = {0x00, 0x56, 0x53, 0x50};  // "\0VSP"
inline constexpr std::size_t SeedOffset = 0x08;                // 20 bytes
inline constexpr std::size_t SignatureOffset = 0x1C;           // 20 bytes
inline constexpr std::size_t TypeSizeOffset = 0x38;            // u32: 0x14 for this console
inline constexpr uint32_t TypeSize = 0x14;
inline constexpr std::size_t TypeOffset = 0x3C;  // u32: 1 for this console, 2 for its successor
inline constexpr uint32_t Type = 1;
inline constexpr std::size_t SaveSizeOffset = 0x40;       // u32: the blocks' length
inline constexpr std::size_t DataOffsetOffset = 0x44;     // u32: where the blocks start
inline constexpr std::size_t TitleAndIconsOffset = 0x48;  // u32: title frame and 3 icon frames
inline constexpr uint32_t TitleAndIconsSize = 4 * FrameSize;
inline constexpr std::size_t SaveSizeCopyOffset = 0x5C;  // u32: the save size again
inline constexpr std::size_t UnknownOffset = 0x60;       // u32 0x9003 in every file seen
inline constexpr uint32_t Unknown = 0x9003;
inline constexpr std::size_t NameOffset = 0x64;  // the directory name, NUL-padded
inline constexpr std::size_t Size = 0x84;
}  // namespace PsvHeader

// The magic and a length that leaves whole blocks after the header. Whether the rest of the
// header is right is the decoder's question, so a damaged one is reported as such.
bool LooksLikePsvSave(std::span<const uint8_t> prefix, std::uintmax_t size);

// The save, or nothing after showing what is wrong with the header. A signature that does not
// verify is only warned about: the save itself is intact as far as anyone can tell.
std::optional<SaveContents> DecodePsvSave(std::span<const uint8_t> file, std::uintmax_t size,
                                          const std::string& path);

// Signed with a fixed seed, so the same save always gives the same file.
std::vector<uint8_t> EncodePsvSave(const SaveContents& save);

// The console's name for the file, without ".PSV": region and product code, then the game ID
// in upper-case hexadecimal.
std::string PsvFileStem(std::span<const uint8_t, FrameSize> frame);
