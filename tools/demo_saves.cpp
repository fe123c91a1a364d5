#include "demo_saves.h"

#include <algorithm>
#include <stdexcept>

#include "card/little_endian.h"

namespace {

// Directory byte 10 is not read by the program; games keep an ASCII 'B' there.
constexpr std::size_t kFileKindOffset = 10;
constexpr uint8_t kFileKind = 'B';
// Title-frame byte 3 is not read by the program; games keep the save's block count there.
constexpr std::size_t kBlockCountOffset = 3;
constexpr uint8_t kIconTypeBase = 0x10;  // icon type = this + number of icon frames
constexpr uint16_t kFirstFullWidthCode = 0x8140;
constexpr uint16_t kLastFullWidthCode = 0x829A;

void CopyText(std::span<uint8_t> frame, std::size_t offset, std::size_t length,
              const std::string& text) {
  if (text.size() > length) throw std::invalid_argument("texto longo demais: " + text);
  std::copy(text.begin(), text.end(), frame.begin() + static_cast<std::ptrdiff_t>(offset));
}

// xorshift32: the same bytes on every platform.
class PatternBytes {
 public:
  explicit PatternBytes(uint32_t seed) : state_(seed | 1) {}
  uint8_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<uint8_t>(state_ >> 24);
  }

 private:
  uint32_t state_;
};

void WriteIcon(std::span<uint8_t, BlockSize> block, const DemoIcon& icon) {
  auto palette = IconPalette(icon);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    WriteLe16(block, TitleFrame::ColourTableOffset + 2 * i, palette[i]);
  }
  for (std::size_t f = 0; f < icon.frames.size(); ++f) {
    std::size_t frame_start = TitleFrame::IconFramesOffset + f * FrameSize;
    for (int row = 0; row < IconSide; ++row) {
      std::string_view line = icon.frames[f][row];
      if (line.size() != IconSide) throw std::invalid_argument("linha de ícone sem 16 pixels");
      // Two pixels a byte, the left one in the low four bits.
      for (int c = 0; c < IconSide / 2; ++c) {
        block[frame_start + row * (IconSide / 2) + c] =
            static_cast<uint8_t>(PaletteIndex(line[2 * c]) | PaletteIndex(line[2 * c + 1]) << 4);
      }
    }
  }
}

void WriteTitleFrame(std::span<uint8_t, BlockSize> block, const DemoSave& save) {
  WriteLe16(block, TitleFrame::MagicOffset, TitleFrame::Magic);
  block[TitleFrame::IconTypeOffset] =
      static_cast<uint8_t>(kIconTypeBase + save.icon->frames.size());
  block[kBlockCountOffset] = static_cast<uint8_t>(save.blocks.size());
  std::vector<uint8_t> title = save.full_width
                                   ? EncodeFullWidthTitle(save.title)
                                   : std::vector<uint8_t>(save.title.begin(), save.title.end());
  if (title.size() > TitleFrame::TitleLength) throw std::invalid_argument("título longo demais");
  std::copy(title.begin(), title.end(), block.begin() + TitleFrame::TitleOffset);
}

void WriteDirectoryFrame(CardImage& image, const DemoSave& save, std::size_t position) {
  int block = save.blocks[position];
  auto frame = DirectoryFrameOf(image, block);
  std::fill(frame.begin(), frame.end(), 0);
  bool first = position == 0;
  bool last = position + 1 == save.blocks.size();
  SetDirectoryState(frame, static_cast<uint8_t>(first  ? BlockState::InUseFirst
                                                : last ? BlockState::InUseLast
                                                       : BlockState::InUseMiddle));
  // A link names the next block minus one.
  WriteLe16(frame, DirectoryFrame::LinkOffset,
            last ? NoLink : static_cast<uint16_t>(save.blocks[position + 1] - 1));
  if (first) {
    WriteLe32(frame, DirectoryFrame::SizeOffset,
              static_cast<uint32_t>(save.blocks.size() * BlockSize));
    frame[kFileKindOffset] = kFileKind;
    frame[DirectoryFrame::RegionOffset] = save.region;
    CopyText(frame, DirectoryFrame::ProductCodeOffset, DirectoryFrame::ProductCodeLength,
             save.product_code);
    CopyText(frame, DirectoryFrame::GameIdOffset, DirectoryFrame::GameIdLength, save.game_id);
  }
  UpdateDirectoryXor(image, block);
}

}  // namespace

std::vector<uint8_t> EncodeFullWidthTitle(const std::string& ascii) {
  std::vector<uint8_t> bytes;
  for (char c : ascii) {
    uint16_t code = kFirstFullWidthCode;
    while (code <= kLastFullWidthCode && FullWidthToAscii(code) != static_cast<uint8_t>(c)) ++code;
    if (code > kLastFullWidthCode)
      throw std::invalid_argument(std::string("sem forma larga: ") + c);
    bytes.push_back(static_cast<uint8_t>(code >> 8));
    bytes.push_back(static_cast<uint8_t>(code));
  }
  return bytes;
}

void PlaceSave(CardImage& image, const DemoSave& save, uint32_t seed) {
  if (save.blocks.empty() || !save.icon || save.icon->frames.empty() ||
      save.icon->frames.size() > 3) {
    throw std::invalid_argument("save de exemplo mal descrito: " + save.title);
  }
  PatternBytes pattern(seed);
  for (std::size_t position = 0; position < save.blocks.size(); ++position) {
    if (!IsSaveBlock(save.blocks[position])) throw std::invalid_argument("bloco fora de 1..15");
    WriteDirectoryFrame(image, save, position);
    auto block = BlockOf(image, save.blocks[position]);
    std::size_t data_start = 0;
    if (position == 0) {
      WriteTitleFrame(block, save);
      WriteIcon(block, *save.icon);
      data_start = TitleFrame::IconFramesOffset + save.icon->frames.size() * FrameSize;
    }
    for (std::size_t i = data_start; i < BlockSize; ++i) block[i] = pattern.Next();
  }
}
