#include "pocketstation.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "little_endian.h"
#include "save_chain.h"

namespace {

using namespace PocketStationFile;

constexpr std::string_view KindPlain = "MCX0";
constexpr std::string_view KindWithSnapshot = "MCX1";
constexpr uint8_t ColourIconCountMask = 0x0F;
constexpr int TicksPerSecond = 30;

bool HoldsText(std::span<const uint8_t> bytes, std::size_t offset, std::string_view text) {
  return std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                    [](char expected, uint8_t byte) { return byte == uint8_t(expected); });
}

// The save's bytes in chain order; the first block alone when the chain has no end.
std::vector<uint8_t> SaveBytes(const CardImage& image, int first) {
  const ChainWalk walk = WalkSaveChain(image, first);
  const std::size_t count = walk.end == ChainEnd::Closed ? walk.blocks.size() : 1;
  return BytesOfBlocks(image, std::span(walk.blocks).first(count));
}

void ReadFrames(std::span<const uint8_t> file, std::size_t offset, std::size_t count,
                MonoIcon& icon) {
  for (std::size_t i = 0; i < count; ++i, offset += MonoIconFrameSize) {
    if (offset > file.size() || file.size() - offset < MonoIconFrameSize) return;
    MonoIconFrame frame{};
    for (std::size_t row = 0; row < frame.size(); ++row)
      frame[row] = ReadLe32(file, offset + 4 * row);
    icon.frames.push_back(frame);
  }
}

}  // namespace

bool IsPocketStationFile(const CardImage& image, int block) {
  if (!IsSaveBlock(block) || !IsFirstState(StateOf(image, block))) {
    return false;
  }
  if (DirectoryFrameOf(image, block)[MarkOffset] != Mark) return false;
  const auto title = BlockOf(image, block).first<FrameSize>();
  return HoldsText(title, KindOffset, KindPlain) || HoldsText(title, KindOffset, KindWithSnapshot);
}

MonoIcon ReadMonoIcon(const CardImage& image, int block) {
  MonoIcon icon;
  if (!IsPocketStationFile(image, block)) return icon;
  const std::vector<uint8_t> file = SaveBytes(image, block);
  const std::span<const uint8_t> title(file.data(), FrameSize);
  // The parts follow one another; none says where the next begins.
  std::size_t offset = FrameSize;
  offset += (title[TitleFrame::IconTypeOffset] & ColourIconCountMask) * FrameSize;
  if (HoldsText(title, KindOffset, KindWithSnapshot)) offset += SnapshotSize;
  const std::size_t functions = title[FunctionCountOffset] * FunctionEntrySize;
  offset += (functions + FrameSize - 1) / FrameSize * FrameSize;

  const std::size_t viewer_frames = ReadLe16(title, ViewerIconCountOffset);
  if (viewer_frames > 0) {
    ReadFrames(file, offset, viewer_frames, icon);
    return icon;
  }
  // No viewer icon: the viewer shows the first icon of the executable's own list.
  const std::size_t list = offset;
  if (title[ExecIconCountOffset] == 0 || list + ExecIconEntrySize > file.size()) return icon;
  const uint32_t address = ReadLe32(file, list + 4);
  if (address < FlashBase) return icon;
  // A delay of 0 would spin the animation; the viewer waits at least one tick.
  icon.delay_ms = std::max<int>(ReadLe16(file, list + 2), 1) * 1000 / TicksPerSecond;
  ReadFrames(file, address - FlashBase, ReadLe16(file, list), icon);
  return icon;
}
