#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The in-memory copy of a whole memory card and its directory.

inline constexpr std::size_t FrameSize = 128;
inline constexpr std::size_t FramesPerBlock = 64;
inline constexpr std::size_t BlockSize = FramesPerBlock * FrameSize;  // 8192
inline constexpr std::size_t BlockCount = 16;                         // block 0 is the directory
inline constexpr std::size_t CardSize = BlockCount * BlockSize;       // 131072
inline constexpr std::size_t FrameCount = CardSize / FrameSize;       // 1024
inline constexpr int FirstSaveBlock = 1;
inline constexpr int LastSaveBlock = 15;
inline constexpr int SaveBlockCount = LastSaveBlock - FirstSaveBlock + 1;
// A save size in bytes shifted right by this many bits is its number of blocks.
inline constexpr unsigned BlockSizeShift = 13;
static_assert(std::size_t{1} << BlockSizeShift == BlockSize);

using CardImage = std::array<uint8_t, CardSize>;
using Frame = std::array<uint8_t, FrameSize>;

// Frame 0 of the card: "MC", zeros, and its own XOR byte.
inline constexpr Frame HeaderFrame = [] {
  Frame frame{};
  frame[0] = 0x4D;
  frame[1] = 0x43;
  frame[FrameSize - 1] = 0x4D ^ 0x43;
  return frame;
}();

// Layout of the directory frame that describes save block b (frame b of block 0).
namespace DirectoryFrame {
inline constexpr std::size_t StateOffset = 0;  // u32 BlockState
inline constexpr std::size_t SizeOffset = 4;   // u32 save size in bytes, first block only
inline constexpr std::size_t LinkOffset = 8;   // u16 next block - 1, or NoLink
// The save's name on the card, NUL-padded: "B", region, product code, game ID.
inline constexpr std::size_t NameOffset = 10;
inline constexpr std::size_t NameLength = 20;
inline constexpr std::size_t RegionOffset = 11;  // RegionCode
inline constexpr std::size_t ProductCodeOffset = 12;
inline constexpr std::size_t ProductCodeLength = 10;
inline constexpr std::size_t GameIdOffset = 22;
inline constexpr std::size_t GameIdLength = 8;
inline constexpr std::size_t XorOffset = FrameSize - 1;  // XOR of bytes 0..126
}  // namespace DirectoryFrame

// Layout of the title frame at the start of a save's first block.
namespace TitleFrame {
inline constexpr std::size_t MagicOffset = 0;  // "SC", tested only in single-save files
inline constexpr uint16_t Magic = 0x4353;      // the bytes 0x53 0x43 read little-endian
// Some games write the magic in lower case ("sc"); their saves are as good as any other.
inline constexpr uint16_t LowercaseMagic = 0x6373;
inline constexpr std::size_t IconTypeOffset = 2;
inline constexpr std::size_t TitleOffset = 4;
inline constexpr std::size_t TitleLength = 64;
inline constexpr std::size_t ColourTableOffset = 96;        // 16 u16 colours
inline constexpr std::size_t IconFramesOffset = FrameSize;  // icon frame k at k * FrameSize
}  // namespace TitleFrame

inline constexpr bool IsTitleMagic(uint16_t value) {
  return value == TitleFrame::Magic || value == TitleFrame::LowercaseMagic;
}

namespace BlockState {
inline constexpr uint32_t InUseFirst = 0x51;
inline constexpr uint32_t InUseMiddle = 0x52;
inline constexpr uint32_t InUseLast = 0x53;
inline constexpr uint32_t Free = 0xA0;
inline constexpr uint32_t RemovedFirst = 0xA1;
inline constexpr uint32_t RemovedMiddle = 0xA2;
inline constexpr uint32_t RemovedLast = 0xA3;
inline constexpr uint32_t McFiller = 0x434D;
inline constexpr uint32_t Reserved = 0xFFFFFFFF;
// A removed block's code is its in-use code plus this.
inline constexpr uint32_t RemovedOffset = RemovedFirst - InUseFirst;
}  // namespace BlockState

// Free and removed blocks are available to an import and count as free.
inline constexpr bool IsAvailableState(uint32_t state) {
  return state >= BlockState::Free && state <= BlockState::RemovedLast;
}

// The first block of a save, in use or removed.
inline constexpr bool IsFirstState(uint32_t state) {
  return state == BlockState::InUseFirst || state == BlockState::RemovedFirst;
}

inline constexpr uint16_t NoLink = 0xFFFF;

// A directory frame as formatting and purging leave it: Free, size 0, NoLink, its XOR byte.
inline constexpr Frame FreeDirectoryFrame = [] {
  Frame frame{};
  frame[DirectoryFrame::StateOffset] = BlockState::Free;
  frame[DirectoryFrame::LinkOffset] = NoLink & 0xFF;
  frame[DirectoryFrame::LinkOffset + 1] = NoLink >> 8;
  frame[DirectoryFrame::XorOffset] = BlockState::Free ^ 0xFF ^ 0xFF;
  return frame;
}();

enum class RegionCode : uint8_t { US = 0x41, EU = 0x45, JP = 0x49 };

inline constexpr bool IsSaveBlock(int block) {
  return block >= FirstSaveBlock && block <= LastSaveBlock;
}
inline constexpr std::size_t DirectoryFrameOffset(int block) {
  return static_cast<std::size_t>(block) * FrameSize;
}
inline constexpr std::size_t BlockOffset(int block) {
  return static_cast<std::size_t>(block) * BlockSize;
}

// Bounds-checked views; callers pass a block already known to be in 1..15.
inline std::span<uint8_t, FrameSize> DirectoryFrameOf(CardImage& image, int block) {
  return std::span<uint8_t, FrameSize>(image.data() + DirectoryFrameOffset(block), FrameSize);
}
inline std::span<const uint8_t, FrameSize> DirectoryFrameOf(const CardImage& image, int block) {
  return std::span<const uint8_t, FrameSize>(image.data() + DirectoryFrameOffset(block), FrameSize);
}
inline std::span<uint8_t, BlockSize> BlockOf(CardImage& image, int block) {
  return std::span<uint8_t, BlockSize>(image.data() + BlockOffset(block), BlockSize);
}
inline std::span<const uint8_t, BlockSize> BlockOf(const CardImage& image, int block) {
  return std::span<const uint8_t, BlockSize>(image.data() + BlockOffset(block), BlockSize);
}

// XOR of the given bytes, starting from 0.
uint8_t XorOf(std::span<const uint8_t> bytes);

// Per-block accessors. Each shows the invalid-block message and returns its neutral result
// (0, false or empty text) when block is outside 1..15. Texts are Windows-1252 bytes.
uint32_t GetBlockState(const CardImage& image, int block);
// The state without the block check or its message, for a block already known to be in 1..15.
uint32_t StateOf(const CardImage& image, int block);
uint32_t GetSaveSize(const CardImage& image, int block);
uint16_t GetNextLink(const CardImage& image, int block);
std::string GetRegion(const CardImage& image, int block);
// "US", "EU", "JP" or empty: the region byte of a save's first directory frame.
std::string RegionOfFrame(std::span<const uint8_t, FrameSize> frame);
std::string GetProductCode(const CardImage& image, int block);
std::string GetGameId(const CardImage& image, int block);
bool IsDirectoryXorValid(const CardImage& image, int block);
uint8_t GetIconType(const CardImage& image, int block);
std::string GetSaveTitle(const CardImage& image, int block);
// The title of a save's title frame, decoded as GetSaveTitle does.
std::string DecodeSaveTitle(std::span<const uint8_t, FrameSize> title_frame);

void UpdateDirectoryXor(CardImage& image, int block);

uint8_t CountFreeBlocks(const CardImage& image);
int FindFirstFreeBlock(const CardImage& image);  // 0 when none

// The single byte that a full-width Shift-JIS code stands for in a title; nothing when the code
// is not in the table.
std::optional<uint8_t> FullWidthToAscii(uint16_t code);

// Writes the state code into byte 0 and zeroes bytes 1..3 (no XOR update).
void SetDirectoryState(std::span<uint8_t, FrameSize> frame, uint8_t code);
