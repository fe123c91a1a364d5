#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "card_image.h"

// PocketStation programs kept as saves: how one is recognised and the 32 x 32 monochrome icon its
// file viewer animates.

namespace PocketStationFile {
// The name's seventh character ("BESLESP12345") marks an executable.
inline constexpr std::size_t MarkOffset = DirectoryFrame::NameOffset + 6;
inline constexpr uint8_t Mark = 'P';
// In the title frame, beside the colour icon's fields.
inline constexpr std::size_t ViewerIconCountOffset = 0x50;  // u16, 0: the first executable icon
inline constexpr std::size_t KindOffset = 0x52;             // "MCX0", or "MCX1" with a snapshot
inline constexpr std::size_t ExecIconCountOffset = 0x56;    // u8 entries of the executable list
inline constexpr std::size_t FunctionCountOffset = 0x57;    // u8 custom functions
inline constexpr std::size_t SnapshotSize = 0x800;          // MCX1 only
inline constexpr std::size_t FunctionEntrySize = 8;
inline constexpr std::size_t ExecIconEntrySize = 8;  // u16 frames, u16 delay, u32 address
// Executable addresses count from here in the file.
inline constexpr uint32_t FlashBase = 0x02000000;
}  // namespace PocketStationFile

inline constexpr int MonoIconSide = 32;
// 32 rows of a little-endian u32, bit 0 the leftmost pixel, 1 black.
using MonoIconFrame = std::array<uint32_t, MonoIconSide>;
inline constexpr std::size_t MonoIconFrameSize = MonoIconSide * 4;
// The viewer's icon moves every 6 ticks of its 30 Hz clock.
inline constexpr int ViewerIconDelayMs = 6 * 1000 / 30;

struct MonoIcon {
  std::vector<MonoIconFrame> frames;  // empty: the file carries none that can be read
  int delay_ms = ViewerIconDelayMs;   // per frame
};

// A save in use that starts at block (1..15), is named as an executable and says "MCX0" or
// "MCX1". Never shows a message.
bool IsPocketStationFile(const CardImage& image, int block);

// The icon of such a save, read from its blocks in chain order. Frames that would lie past the
// save's end are left out.
MonoIcon ReadMonoIcon(const CardImage& image, int block);

inline bool MonoPixel(const MonoIconFrame& frame, int x, int y) {
  return (frame[static_cast<std::size_t>(y)] >> x) & 1U;
}
