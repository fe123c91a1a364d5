#include "card/icon_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "card/little_endian.h"
#include "support/card_builder.h"
#include "support/message_recorder.h"

using namespace test_support;

namespace {

// Icon directory, entry and bitmap header of a 16 x 16, 4-bit icon, byte by byte.
constexpr uint8_t kTemplate[62] = {
    0,  0,  1,  0, 1,   0,                                    // reserved, type icon, one image
    16, 16, 16, 0, 0,   0, 4, 0, 0x28, 1, 0, 0, 22, 0, 0, 0,  // entry: planes 0, 296 bytes at 22
    40, 0,  0,  0, 16,  0, 0, 0, 32,   0, 0, 0, 1,  0, 4, 0,  // header: 16 x (16 + 16), 1 plane
    0,  0,  0,  0, 192, 0, 0, 0, 0,    0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

constexpr std::size_t kPalette = 62;
constexpr std::size_t kColourRows = 126;
constexpr std::size_t kLastColourRow = kColourRows + 15 * 8;  // the top row of the picture
constexpr std::size_t kMask = 254;

IconFileImage Build(const CardImage& image, int block, int frame) {
  IconFileImage buffer;
  buffer.fill(0xEE);
  BuildIconFile(image, block, frame, buffer);
  return buffer;
}

TEST(IconFile, InvalidBlocksLeaveTheBufferAlone) {
  CardImage image = RandomCard(4);
  MessageRecorder recorder;
  for (int block : {0, 16}) {
    EXPECT_EQ(Build(image, block, 1), Build(image, 0, 1));
    EXPECT_EQ(Build(image, block, 1)[0], 0xEE);
  }
  EXPECT_EQ(recorder.messages(),
            std::vector<RecordedMessage>(6, {"Referência de Bloco Inválida", "Erro"}));
}

TEST(IconFile, ColoursWidenEachComponentByThreeBits) {
  const std::pair<uint16_t, std::array<uint8_t, 3>> cases[] = {
      {0x7FFF, {248, 248, 248}}, {0x001F, {0, 0, 248}}, {0x7C00, {248, 0, 0}},
      {0x03E0, {0, 248, 0}},     {0x8000, {0, 0, 0}},   {0x0421, {8, 8, 8}}};
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {2}});
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    WriteLe16(BlockOf(image, 2), TitleFrame::ColourTableOffset + 2 * i, cases[i].first);
  }
  IconFileImage icon = Build(image, 2, 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    auto [blue, green, red] = cases[i].second;
    EXPECT_EQ(
        std::vector<uint8_t>(icon.begin() + kPalette + 4 * i, icon.begin() + kPalette + 4 * i + 4),
        (std::vector<uint8_t>{blue, green, red, 0}))
        << std::hex << cases[i].first;
    IconRgb rgb = IconColour(cases[i].first);
    EXPECT_EQ((std::array<uint8_t, 3>{rgb.blue, rgb.green, rgb.red}), cases[i].second);
  }
}

TEST(IconFile, RowsAreFlippedAndPixelPairsSwapped) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {3}});
  auto frame = BlockOf(image, 3).subspan(TitleFrame::IconFramesOffset, FrameSize);
  for (std::size_t row = 0; row < 16; ++row) {
    for (std::size_t c = 0; c < 8; ++c) frame[row * 8 + c] = static_cast<uint8_t>(row << 4 | c);
  }
  frame[2] = 0x1A;    // top row, byte 2
  frame[120] = 0x1A;  // bottom row, byte 0
  IconFileImage icon = Build(image, 3, 1);
  EXPECT_EQ(icon[kLastColourRow + 2], 0xA1);
  EXPECT_EQ(icon[kColourRows], 0xA1);
  EXPECT_EQ(icon[kLastColourRow + 5], 0x50);   // row 0, byte 5
  EXPECT_EQ(icon[kColourRows + 8 + 3], 0x3E);  // row 14, byte 3
  EXPECT_TRUE(std::equal(icon.begin(), icon.begin() + 62, std::begin(kTemplate)));
  EXPECT_TRUE(std::equal(IconFileTemplate.begin(), IconFileTemplate.end(), std::begin(kTemplate)));
  EXPECT_TRUE(std::all_of(icon.begin() + kMask, icon.end(), [](uint8_t b) { return b == 0; }));
}

// Each candidate source frame is filled with its own byte, so the first colour byte tells which
// frame was read: frame k of block 5 (k = -1 .. 3) holds 0x10 + k, seen swapped in the icon.
TEST(IconFile, FramePastTheIconsCountRepeatsItsLastFrame) {
  struct Case {
    uint8_t icon_type;
    int requested;
    int read;  // icon frame, 0 = title frame, -1 = last frame of block 4
  };
  const Case cases[] = {{0x11, 1, 1}, {0x11, 2, 1},  {0x11, 3, 1}, {0x12, 3, 2},
                        {0x12, 2, 2}, {0x13, 3, 3},  {0x13, 0, 1}, {0x13, -7, 1},
                        {0x10, 1, 0}, {0x0F, 2, -1}, {0xFF, 9, 3}, {0xFF, 1 << 30, 3}};
  for (const Case& c : cases) {
    CardImage image = BlankCard();
    for (int k = -1; k <= 3; ++k) {
      auto source = std::span<uint8_t>(image).subspan(static_cast<std::size_t>(5 * 8192 + 128 * k),
                                                      FrameSize);
      std::ranges::fill(source, static_cast<uint8_t>(0x10 + k));
    }
    BlockOf(image, 5)[TitleFrame::IconTypeOffset] = c.icon_type;
    IconFileImage icon = Build(image, 5, c.requested);
    uint8_t expected = static_cast<uint8_t>(0x10 + c.read);
    EXPECT_EQ(icon[kColourRows], static_cast<uint8_t>(expected << 4 | expected >> 4))
        << std::hex << int(c.icon_type) << " frame " << std::dec << c.requested;
  }
}

}  // namespace
