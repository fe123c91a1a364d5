#include "save_icon.h"

#include <algorithm>
#include <string>

#include "little_endian.h"
#include "messages.h"

namespace {

constexpr uint8_t IconFlagBase = 0x10;  // flag - this = number of icon frames
const std::string AttentionCaption = "Atenção";

std::size_t FrameOffset(std::size_t frame) {
  return TitleFrame::IconFramesOffset + frame * FrameSize;
}

}  // namespace

int ReservedIconFrames(const CardImage& image, int block) {
  const int count = BlockOf(image, block)[TitleFrame::IconTypeOffset] - IconFlagBase;
  return count >= 1 && count <= MaxSaveIconFrames ? count : 0;
}

SaveIcon ReadSaveIcon(const CardImage& image, int block) {
  const auto title = BlockOf(image, block);
  SaveIcon icon;
  for (std::size_t i = 0; i < icon.palette.size(); ++i) {
    icon.palette[i] = ReadLe16(title, TitleFrame::ColourTableOffset + 2 * i);
  }
  const int count = std::max(ReservedIconFrames(image, block), 1);
  icon.frames.resize(static_cast<std::size_t>(count));
  for (std::size_t f = 0; f < icon.frames.size(); ++f) {
    const auto source = title.subspan(FrameOffset(f), FrameSize);
    // Two pixels a byte, the left one in the low four bits.
    for (std::size_t i = 0; i < FrameSize; ++i) {
      icon.frames[f][2 * i] = source[i] & 0x0F;
      icon.frames[f][2 * i + 1] = source[i] >> 4;
    }
  }
  return icon;
}

bool WriteSaveIcon(CardImage& image, int block, const SaveIcon& icon) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return false;
  }
  const int room = ReservedIconFrames(image, block);
  const int count = static_cast<int>(icon.frames.size());
  if (count < 1 || count > room) {
    ShowMessage("Este 'save' tem espaço para " + std::to_string(room) +
                    " quadro(s) de ícone, e a imagem tem " + std::to_string(count) +
                    ". Nada foi alterado.",
                AttentionCaption);
    return false;
  }
  const auto title = BlockOf(image, block);
  for (std::size_t i = 0; i < icon.palette.size(); ++i) {
    WriteLe16(title, TitleFrame::ColourTableOffset + 2 * i, icon.palette[i]);
  }
  for (std::size_t f = 0; f < icon.frames.size(); ++f) {
    const auto out = title.subspan(FrameOffset(f), FrameSize);
    for (std::size_t i = 0; i < FrameSize; ++i) {
      out[i] = static_cast<uint8_t>((icon.frames[f][2 * i] & 0x0F) |
                                    (icon.frames[f][2 * i + 1] & 0x0F) << 4);
    }
  }
  title[TitleFrame::IconTypeOffset] = static_cast<uint8_t>(IconFlagBase + count);
  return true;
}
