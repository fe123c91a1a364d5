#include "icon_file.h"

#include <algorithm>

#include "little_endian.h"
#include "messages.h"

namespace {

constexpr int IconSide = 16;
constexpr int IconColours = 16;
constexpr int MaxIconFrames = 3;
constexpr uint8_t IconTypeBase = 0x10;  // icon type - this = number of icon frames
constexpr std::size_t IconRowBytes = IconSide / 2;
constexpr std::size_t MaskRowBytes = 4;  // 16 one-bit pixels, rows padded to 32 bits

// Offsets in the icon file.
constexpr std::size_t IconDirectorySize = 6;
constexpr std::size_t DirectoryEntrySize = 16;
constexpr std::size_t BitmapHeaderOffset = IconDirectorySize + DirectoryEntrySize;  // 22
constexpr std::size_t BitmapHeaderSize = 40;
constexpr std::size_t PaletteOffset = BitmapHeaderOffset + BitmapHeaderSize;  // 62
constexpr std::size_t PaletteEntrySize = 4;
constexpr std::size_t ColourRowsOffset = PaletteOffset + IconColours * PaletteEntrySize;  // 126
constexpr std::size_t ColourRowsSize = IconSide * IconRowBytes;
constexpr std::size_t MaskRowsOffset = ColourRowsOffset + ColourRowsSize;  // 254
constexpr std::size_t MaskRowsSize = IconSide * MaskRowBytes;
constexpr std::size_t BitmapSize = ColourRowsSize + MaskRowsSize;
static_assert(MaskRowsOffset + MaskRowsSize == IconFileSize);

constexpr uint8_t ComponentMask = 0x1F;
constexpr int ComponentWidening = 3;

}  // namespace

const std::array<uint8_t, 62> IconFileTemplate = [] {
  std::array<uint8_t, 62> bytes{};
  std::span<uint8_t> out(bytes);
  // Icon directory: reserved, type 1 (icon), one image.
  WriteLe16(out, 2, 1);
  WriteLe16(out, 4, 1);
  // Directory entry; its planes field stays 0, unlike the bitmap header's.
  out[6] = IconSide;
  out[7] = IconSide;
  out[8] = IconColours;
  WriteLe16(out, 12, 4);
  WriteLe32(out, 14,
            static_cast<uint32_t>(BitmapHeaderSize + IconColours * PaletteEntrySize + BitmapSize));
  WriteLe32(out, 18, BitmapHeaderOffset);
  // Bitmap info header; the height counts the colour rows and the mask rows.
  WriteLe32(out, BitmapHeaderOffset, BitmapHeaderSize);
  WriteLe32(out, BitmapHeaderOffset + 4, IconSide);
  WriteLe32(out, BitmapHeaderOffset + 8, 2 * IconSide);
  WriteLe16(out, BitmapHeaderOffset + 12, 1);
  WriteLe16(out, BitmapHeaderOffset + 14, 4);
  WriteLe32(out, BitmapHeaderOffset + 20, BitmapSize);
  return bytes;
}();

IconRgb IconColour(uint16_t colour) {
  auto component = [colour](int shift) {
    return static_cast<uint8_t>(((colour >> shift) & ComponentMask) << ComponentWidening);
  };
  return {component(0), component(5), component(10)};
}

void BuildIconFile(const CardImage& image, int block, int frame, IconFileImage& buffer) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return;
  }
  int count = static_cast<int>(GetIconType(image, block)) - IconTypeBase;
  // Frames past the icon's own repeat its last one. A count below 1 reaches back before icon
  // frame 1, into the title frame or the block before, which is still inside the image; frames
  // past the third would leave it, so they are taken as the third.
  int chosen = std::min(std::clamp(frame, 1, MaxIconFrames), count);
  const auto start =
      static_cast<std::ptrdiff_t>(BlockOffset(block) + TitleFrame::IconFramesOffset) +
      (chosen - 1) * static_cast<std::ptrdiff_t>(FrameSize);
  auto source = std::span<const uint8_t>(image).subspan(static_cast<std::size_t>(start), FrameSize);
  auto colours = BlockOf(image, block).subspan(TitleFrame::ColourTableOffset, 2 * IconColours);

  std::copy(IconFileTemplate.begin(), IconFileTemplate.end(), buffer.begin());
  for (std::size_t i = 0; i < IconColours; ++i) {
    IconRgb rgb = IconColour(ReadLe16(colours, 2 * i));
    uint8_t* entry = buffer.data() + PaletteOffset + i * PaletteEntrySize;
    entry[0] = rgb.blue;
    entry[1] = rgb.green;
    entry[2] = rgb.red;
    entry[3] = 0;
  }
  // The icon file keeps its bottom row first and its left pixel in the high four bits.
  for (std::size_t row = 0; row < IconSide; ++row) {
    auto source_row = source.subspan((IconSide - 1 - row) * IconRowBytes, IconRowBytes);
    uint8_t* out = buffer.data() + ColourRowsOffset + row * IconRowBytes;
    for (std::size_t c = 0; c < IconRowBytes; ++c) {
      out[c] = static_cast<uint8_t>((source_row[c] & 0x0F) << 4 | source_row[c] >> 4);
    }
  }
  std::fill(buffer.begin() + MaskRowsOffset, buffer.end(), uint8_t{0});
}
