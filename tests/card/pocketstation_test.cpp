#include "card/pocketstation.h"

#include <gtest/gtest.h>

#include "support/card_builder.h"

using namespace test_support;

namespace {

// Writes a 32-bit word little-endian at offset of the save whose blocks are given in chain order.
void PutWord(CardImage& image, const std::vector<int>& chain, std::size_t offset, uint32_t word) {
  for (int i = 0; i < 4; ++i, ++offset) {
    const int block = chain.at(offset / 8192);
    image[static_cast<std::size_t>(block) * 8192 + offset % 8192] = uint8_t(word >> (8 * i));
  }
}

// A PocketStation save: "BESLESP12345..." in the directory, the kind at title 0x52, the viewer
// icon count at 0x50 and the function count at 0x57.
CardImage PocketStationCard(const std::vector<int>& chain, int colour_frames, const char* kind,
                            uint16_t viewer_frames, uint8_t functions) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = chain, .icon_frames = colour_frames, .product_code = "SLESP12345"});
  auto title = BlockOf(image, chain[0]);
  std::copy(kind, kind + 4, title.begin() + 0x52);
  title[0x50] = uint8_t(viewer_frames);
  title[0x51] = uint8_t(viewer_frames >> 8);
  title[0x56] = 1;
  title[0x57] = functions;
  return image;
}

// Frame k, row y of the known pattern: a diagonal stroke moved right by k pixels.
uint32_t PatternRow(int k, int y) {
  return 1U << ((y + k) % 32);
}

void PutPattern(CardImage& image, const std::vector<int>& chain, std::size_t at, int frames) {
  for (int k = 0; k < frames; ++k) {
    for (int y = 0; y < 32; ++y) PutWord(image, chain, at + 128 * k + 4 * y, PatternRow(k, y));
  }
}

}  // namespace

// Title 0x80, colour icons, the 0x800 snapshot of MCX1, the function table rounded up to whole
// frames: the viewer icon follows them.
TEST(PocketStation, ViewerIconFollowsThePartsBeforeIt) {
  struct Case {
    const char* kind;
    int colour_frames;
    uint8_t functions;
    std::size_t icon_offset;
    std::vector<int> chain;
    uint16_t frames;
  };
  const Case cases[] = {
      {"MCX0", 1, 3, 0x180, {4}, 2},             // 24 bytes of functions take one frame
      {"MCX1", 3, 0x11, 0xB00, {9, 2}, 3},       // 0x80 + 0x180 + 0x800 + 0x100
      {"MCX1", 3, 0x7F, 0xE00, {9, 2, 12}, 40},  // runs on into the second block, block 2
      {"MCX0", 2, 0, 0x180, {1}, 1},             // no functions, no table
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " at 0x" << std::hex << c.icon_offset);
    CardImage image = PocketStationCard(c.chain, c.colour_frames, c.kind, c.frames, c.functions);
    PutPattern(image, c.chain, c.icon_offset, c.frames);
    ASSERT_TRUE(IsPocketStationFile(image, c.chain[0]));
    const MonoIcon icon = ReadMonoIcon(image, c.chain[0]);
    ASSERT_EQ(icon.frames.size(), c.frames);
    EXPECT_EQ(icon.delay_ms, 200);  // 6 ticks of 30 Hz
    for (int k = 0; k < c.frames; ++k) {
      for (int y = 0; y < 32; ++y) ASSERT_EQ(icon.frames[k][y], PatternRow(k, y)) << k << "," << y;
    }
    EXPECT_TRUE(MonoPixel(icon.frames[0], 0, 0));  // bit 0 is the leftmost pixel
    EXPECT_FALSE(MonoPixel(icon.frames[0], 1, 0));
    EXPECT_TRUE(MonoPixel(icon.frames[0], 31, 31));
  }
}

TEST(PocketStation, OnlyMarkedExecutablesAreRecognised) {
  CardImage image = PocketStationCard({3}, 1, "MCX0", 1, 0);
  EXPECT_TRUE(IsPocketStationFile(image, 3));
  for (int block : {0, 2, 16}) EXPECT_FALSE(IsPocketStationFile(image, block));

  CardImage other_kind = PocketStationCard({3}, 1, "MCX2", 1, 0);
  EXPECT_FALSE(IsPocketStationFile(other_kind, 3));
  EXPECT_TRUE(ReadMonoIcon(other_kind, 3).frames.empty());

  CardImage not_executable = BlankCard();
  PlaceSave(not_executable, {.blocks = {3}, .product_code = "SLES-12345"});
  std::copy_n("MCX1", 4, BlockOf(not_executable, 3).begin() + 0x52);
  EXPECT_FALSE(IsPocketStationFile(not_executable, 3));
}

TEST(PocketStation, IconPastTheSaveEndKeepsTheWholeFramesOnly) {
  // One block: 0x2000 - 0x100 leaves room for 62 frames of the 500 the title claims.
  CardImage image = PocketStationCard({5}, 1, "MCX0", 500, 0);
  EXPECT_EQ(ReadMonoIcon(image, 5).frames.size(), 62U);
}

TEST(PocketStation, WithoutViewerIconTheFirstExecutableIconIsShown) {
  CardImage image = PocketStationCard({6}, 1, "MCX0", 0, 0);
  // The executable icon list at 0x100: 2 frames, 12 ticks each, at FLASH 0x02000400.
  PutWord(image, {6}, 0x100, 2 | 12 << 16);
  PutWord(image, {6}, 0x104, 0x02000400);
  PutPattern(image, {6}, 0x400, 2);
  const MonoIcon icon = ReadMonoIcon(image, 6);
  ASSERT_EQ(icon.frames.size(), 2U);
  EXPECT_EQ(icon.delay_ms, 400);
  EXPECT_EQ(icon.frames[1][3], PatternRow(1, 3));
}
